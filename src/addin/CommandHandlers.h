// The host event handlers of the two commands. A created handler attaches its
// executed handler to each new command; the executed handler runs the flow.
#pragma once

#include <Core/CoreAll.h>
#include <Fusion/FusionAll.h>

class QRRenderCommandExecutedHandler : public adsk::core::CommandEventHandler {
  public:
    ~QRRenderCommandExecutedHandler() override = default;
    void notify(const adsk::core::Ptr<adsk::core::CommandEventArgs>& eventArgs) override;
};

class QRExportCommandExecutedHandler : public adsk::core::CommandEventHandler {
  public:
    ~QRExportCommandExecutedHandler() override = default;
    void notify(const adsk::core::Ptr<adsk::core::CommandEventArgs>& eventArgs) override;
};

class RenderCommandCreatedHandler : public adsk::core::CommandCreatedEventHandler {
  public:
    ~RenderCommandCreatedHandler() override = default;
    void notify(const adsk::core::Ptr<adsk::core::CommandCreatedEventArgs>& eventArgs) override;

  private:
    QRRenderCommandExecutedHandler executed;
};

class ExportCommandCreatedHandler : public adsk::core::CommandCreatedEventHandler {
  public:
    ~ExportCommandCreatedHandler() override = default;
    void notify(const adsk::core::Ptr<adsk::core::CommandCreatedEventArgs>& eventArgs) override;

  private:
    QRExportCommandExecutedHandler executed;
};
