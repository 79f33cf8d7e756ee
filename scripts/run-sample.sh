#!/usr/bin/env bash
# Runs the add-in on the bundled sample design, the way a designer would in
# Fusion 360:
#   1. "Export to Quorell .bip" writes out/desk-lamp.bip;
#   2. "Render in Quorell" starts the renderer stand-in (installed into out/quorell,
#      never into your own configuration) and sends the design over the live link;
#   3. the design changes (a newer version is opened) and a second click sends
#      only what changed.
# The renderer writes what it received to out/quorell/resources/scenes/, with a
# picture of it beside (where pictures are built in), and the export gets a
# preview picture too (out/desk-lamp.png).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target fusion-sim quorell-addin quorell-standin quorelllive quorell-scene
bin=$PWD/build/bin
out=$PWD/out
mkdir -p "$out"

echo
echo "== Export to Quorell .bip =="
"$bin/fusion-sim" examples/desk-lamp.json --export "$out/desk-lamp.bip" --preview "$out/desk-lamp.png" || true
echo "wrote $out/desk-lamp.bip ($(wc -c <"$out/desk-lamp.bip") bytes)"
"$bin/quorell-scene" info "$out/desk-lamp.bip"

echo
echo "== Render in Quorell (first click, then again after the design changed) =="
# A private registry and runtime folder keep the stand-in renderer out of the
# user's real configuration.
export QUORELL_REGISTRY_DIR=$out/quorell/registry
export QUORELL_RUNTIME_DIR=$out/quorell/run
rm -rf "$out/quorell"
"$bin/quorell-standin" install --prefix "$out/quorell"

# Each running instance publishes <pid>.instance in the runtime folder.
stop_renderers() {
    for record in "$QUORELL_RUNTIME_DIR"/*.instance; do
        [ -f "$record" ] && kill "$(basename "$record" .instance)" 2>/dev/null || true
    done
}
trap stop_renderers EXIT

cat >"$out/render-session.txt" <<SCRIPT
# One Fusion 360 session: render, change the design, render again.
open $PWD/examples/desk-lamp.json
run
click quorell12RenderCommandOnQATCPP
open $PWD/examples/desk-lamp-v2.json
click quorell12RenderCommandOnQATCPP
stop
SCRIPT
"$bin/fusion-sim" --script "$out/render-session.txt"

echo
echo "The renderer stand-in holds the merged scene (rewritten after each transfer):"
ls -l "$out"/quorell/resources/scenes/
echo "Its live-link log: $out/quorell/resources/sceneapi.log"

# A stopping renderer finishes the pictures it is still drawing.
pids=$(ls "$QUORELL_RUNTIME_DIR"/*.instance 2>/dev/null | xargs -rn1 basename | sed 's/\.instance$//')
stop_renderers
for _ in $(seq 100); do
    running=false
    for pid in $pids; do kill -0 "$pid" 2>/dev/null && running=true; done
    $running || break
    sleep 0.2
done

echo
echo "Pictures:"
ls "$out"/*.png "$out"/quorell/resources/scenes/*.png 2>/dev/null || echo "(none: pictures are not built in)"
