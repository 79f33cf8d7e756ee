// run, stop and the three buttons; what a click on them does.

#include "AddinFixture.h"
#include "addin/CommandIds.h"

#include <sstream>

using adsk::core::Ptr;

namespace {

const std::string renderToolbarId = "quorell12RenderCommandOnQATCPP";
const std::string renderPanelId = "quorell12RenderCommandOnPanelCPP";
const std::string exportPanelId = "quorell12ExportCommandOnPanelCPP";

std::vector<std::string> placed() {
    std::vector<std::string> lines;
    for (const auto& c : host::placedControls()) {
        const std::string where = c.toolbar.empty()
                                      ? "workspace " + c.workspace + " / panel " + c.panel
                                      : "toolbar " + c.toolbar;
        lines.push_back(where + " " + c.commandId + (c.visible ? "" : " (hidden)"));
    }
    return lines;
}

Ptr<adsk::core::CommandDefinitions> definitions() {
    return adsk::core::Application::get()->userInterface()->commandDefinitions();
}

host::UiLayout layoutWith(std::vector<host::WorkspaceLayout> workspaces) {
    host::UiLayout layout;
    layout.toolbars = {{"QAT"}};
    layout.workspaces = std::move(workspaces);
    return layout;
}

}  // namespace

TEST_F(AddinTest, RunPlacesThreeButtons) {
    ASSERT_TRUE(run(""));
    std::vector<std::string> expected;
    std::istringstream table(readFile(support::dataPath("addin/controls.txt")));
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f;
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, '\t');) f.push_back(field);
        ASSERT_EQ(f.size(), 5u) << line;
        expected.push_back(f[0] + " " + f[1]);
        auto d = definitions()->itemById(f[1]);
        ASSERT_TRUE(d) << f[1];
        EXPECT_EQ((std::vector<std::string>{d->name(), d->tooltip(), d->resourceFolder()}),
                  (std::vector<std::string>{f[2], f[3], f[4]}));
    }
    EXPECT_EQ(placed(), expected);
    EXPECT_EQ(definitions()->count(), 3u);
}

TEST_F(AddinTest, RunAgainAndStopThenRunCreateNothingNew) {
    ASSERT_TRUE(run(""));
    const auto first = placed();
    ASSERT_TRUE(run(""));
    EXPECT_EQ(placed(), first);
    EXPECT_TRUE(stop(""));
    ASSERT_TRUE(run(""));
    EXPECT_EQ(placed(), first);
    EXPECT_EQ(definitions()->count(), 3u);
}

TEST_F(AddinTest, ExistingRenderPanelButtonGetsOnlyTheExportButtonAdded) {
    // The render panel button is there already (for instance from an earlier session).
    auto ui = adsk::core::Application::get()->userInterface();
    auto panel = ui->workspaces()
                     ->itemById("FusionRenderEnvironment")
                     ->toolbarPanels()
                     ->itemById("RenderPanel");
    auto d = definitions()->addButtonDefinition(renderPanelId, "Old", "Old tooltip", "");
    panel->controls()->addCommand(d, "", true);
    ASSERT_TRUE(run(""));
    EXPECT_EQ(panel->controls()->count(), 2u);
    EXPECT_TRUE(panel->controls()->itemById(exportPanelId));
    EXPECT_EQ(definitions()->itemById(renderPanelId)->name(), "Old");
}

TEST_F(AddinTest, PanelButtonsFallBackToTheLastWorkspaceAndPanel) {
    host::resetApplication(layoutWith({{"FusionSolidEnvironment", {{"RenderPanel"}}},
                                       {"Sketch", {{"RenderPanel"}, {"SketchPanel"}}}}));
    ASSERT_TRUE(run(""));
    EXPECT_EQ(placed().at(1), "workspace Sketch / panel RenderPanel " + renderPanelId);
    EXPECT_EQ(placed().size(), 3u);

    stop("");
    host::resetApplication(layoutWith({{"FusionRenderEnvironment", {{"SetupPanel"}, {"Last"}}}}));
    ASSERT_TRUE(run(""));
    EXPECT_EQ(placed().at(2), "workspace FusionRenderEnvironment / panel Last " + exportPanelId);
}

// Without a render workspace, panel or panel controls only the toolbar button is
// placed; without the toolbar, its controls or the workspace's panels run raises.
TEST_F(AddinTest, IncompleteLayoutsPlaceOnlyTheToolbarButtonOrRaise) {
    host::UiLayout noQat = layoutWith({}), qatWithoutControls = layoutWith({});
    noQat.toolbars = {{"NavToolbar"}};
    qatWithoutControls.toolbars = {{"QAT", false}};
    const std::vector<std::pair<host::UiLayout, bool>> layouts{
        {layoutWith({}), true},
        {layoutWith({{"FusionRenderEnvironment", {}}}), true},
        {layoutWith({{"FusionRenderEnvironment", {{"RenderPanel", false}}}}), true},
        {noQat, false},
        {qatWithoutControls, false},
        {layoutWith({{"FusionRenderEnvironment", {}, false}}), false}};
    for (const auto& [layout, runs] : layouts) {
        stop("");
        host::resetApplication(layout);
        if (!runs) {
            EXPECT_THROW(run(""), std::exception);
            continue;
        }
        EXPECT_TRUE(run(""));
        EXPECT_EQ(placed(), std::vector<std::string>{"toolbar QAT " + renderToolbarId});
    }
}

TEST_F(AddinTest, RunFailsWithoutTheHostObjectsItNeeds) {
    const std::vector<bool host::Availability::*> missing{
        &host::Availability::application, &host::Availability::userInterface,
        &host::Availability::commandDefinitions, &host::Availability::toolbars,
        &host::Availability::workspaces};
    for (auto field : missing) {
        host::resetApplication();
        host::Availability availability;
        availability.*field = false;
        host::setAvailability(availability);
        EXPECT_FALSE(run(""));
        host::setAvailability({});
        EXPECT_TRUE(host::placedControls().empty());
    }
}

TEST_F(AddinTest, CommandWithoutActiveDocumentDoesNothing) {
    ASSERT_TRUE(run(""));
    host::openDocument(bracket());
    host::deactivateDocuments();
    host::answerNextFileDialog((dir / "none.bip").string());
    EXPECT_TRUE(host::clickControl(exportPanelId));
    EXPECT_TRUE(host::clickControl(renderToolbarId));
    EXPECT_TRUE(host::shownFileDialogs().empty());
    EXPECT_TRUE(host::shownMessageBoxes().empty());
    EXPECT_FALSE(addinModule().converter);
}

TEST_F(AddinTest, BothRenderButtonsRunTheRenderFlowWithOneConverter) {
    ASSERT_TRUE(run(""));
    host::openDocument(bracket());
    EXPECT_TRUE(host::clickControl(renderToolbarId));
    DesignConverter* first = addinModule().converter.get();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(host::clickControl(renderPanelId));
    EXPECT_EQ(addinModule().converter.get(), first);
    EXPECT_EQ(host::shownMessageBoxes().size(), 2u);
    EXPECT_EQ(host::shownMessageBoxes().at(0).title, "");

    // stop destroys the converter; the next command makes a new one.
    stop("");
    EXPECT_FALSE(addinModule().converter);
    EXPECT_FALSE(addinModule().userInterface);
}
