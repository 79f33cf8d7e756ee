// "Render in Quorell": hands the active document to a running renderer.
#pragma once

#include <cstdint>
#include <string>

#include "convert/DesignConverter.h"
#include "livelink/RepeatLinkFactory.h"

// Connects to a renderer (starting one when none runs) and sends the document with
// the active camera. While the renderer still shows this document's scene, the
// transfer is an update: unchanged components travel without their bodies. A link
// that cannot be made is reported in one message box.
void renderDocument(DesignConverter& converter, adsk::core::Ptr<adsk::core::Document> document);
// The same over other live-link services (the real ones are the live library's).
void renderDocument(DesignConverter& converter, adsk::core::Ptr<adsk::core::Document> document,
                    orv::LiveLinkServices services);

// "Fusion 360 <text>, <process id as 0x...>", at most 255 characters.
std::string processIdentifier(const std::string& documentText, uint32_t processId);
