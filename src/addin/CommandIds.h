// Ids, names, tooltips and resource folders of the add-in's commands.
#pragma once

#include <string>

namespace commands {

// Every command id is "quorell", the major version 12 and a suffix.
std::string commandId(const char* suffix);

inline constexpr const char* renderToolbarSuffix = "RenderCommandOnQATCPP";
inline constexpr const char* renderPanelSuffix = "RenderCommandOnPanelCPP";
inline constexpr const char* exportPanelSuffix = "ExportCommandOnPanelCPP";

inline constexpr const char* renderName = "Render in Quorell";
inline constexpr const char* renderTooltip =
    "This command transfers the current scene to Quorell. Click again to update the scene "
    "with any changes.";
inline constexpr const char* renderResources = "./resources/render_command";

inline constexpr const char* exportName = "Export to Quorell .bip";
inline constexpr const char* exportTooltip =
    "This command exports the current scene to a Quorell .bip file.";
inline constexpr const char* exportResources = "./resources/export_command";

inline constexpr const char* quickAccessToolbar = "QAT";
inline constexpr const char* renderWorkspace = "FusionRenderEnvironment";
inline constexpr const char* renderPanel = "RenderPanel";

}  // namespace commands
