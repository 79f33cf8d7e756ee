// An add-in written the way published Fusion 360 C++ samples are: it writes the
// assembly tree of the active design to the text palette, asks for files and a
// folder, sums the physical properties of every body with a progress dialog,
// edits a selection and writes each component's physical properties. It is
// built against the host's interface headers alone.
#include <Core/CoreAll.h>
#include <Fusion/FusionAll.h>

#include <cmath>
#include <cstdio>
#include <string>

using namespace adsk::core;
using namespace adsk::fusion;

Ptr<Application> app;
Ptr<UserInterface> ui;
Ptr<TextCommandPalette> palette;

// Values rounded to the digits shown, so that -0.000 reads 0.000.
static double shown(double value) {
    return std::round(value * 1e6) / 1e6 + 0.0;
}

static std::string format(const char* pattern, double a, double b = 0, double c = 0) {
    char text[128];
    std::snprintf(text, sizeof text, pattern, shown(a), shown(b), shown(c));
    return text;
}

static void traverseAssembly(const Ptr<OccurrenceList>& occurrences, int currentLevel) {
    for (size_t i = 0; i < occurrences->count(); ++i) {
        Ptr<Occurrence> occ = occurrences->item(i);
        Ptr<Point3D> origin;
        Ptr<Vector3D> xAxis, yAxis, zAxis;
        if (Ptr<Matrix3D> transform = occ->transform())
            transform->getAsCoordinateSystem(origin, xAxis, yAxis, zAxis);
        std::string line = std::string(size_t(currentLevel) * 2, ' ') + occ->name();
        line += " [" + occ->fullPathName() + "]";
        if (origin) line += format(" at (%.3f, %.3f, %.3f)", origin->x(), origin->y(), origin->z());
        if (!occ->isLightBulbOn()) line += " (light bulb off)";
        else if (!occ->isVisible()) line += " (hidden)";
        palette->writeText(line);
        Ptr<OccurrenceList> children = occ->childOccurrences();
        if (children && children->count() > 0) traverseAssembly(children, currentLevel + 1);
    }
}

static void chooseFiles() {
    Ptr<FileDialog> fileDialog = ui->createFileDialog();
    if (!fileDialog) return;
    fileDialog->isMultiSelectEnabled(true);
    fileDialog->title("Open Files");
    fileDialog->filter("All files (*.*)");
    if (fileDialog->showOpen() != DialogOK) {
        palette->writeText("No file chosen");
        return;
    }
    for (const std::string& name : fileDialog->filenames()) palette->writeText("Chosen: " + name);
    palette->writeText("First: " + fileDialog->filename());
}

static void chooseFolder() {
    Ptr<FolderDialog> folderDialog = ui->createFolderDialog();
    if (!folderDialog) return;
    folderDialog->title("Choose a Folder");
    if (folderDialog->showDialog() != DialogOK) {
        palette->writeText("No folder chosen");
        return;
    }
    palette->writeText("Folder: " + folderDialog->folder());
}

static const char* yesNo(bool value) {
    return value ? "yes" : "no";
}

// What a selection of bodies answers while it is edited.
static void editSelection(const Ptr<ObjectCollection>& bodies) {
    if (bodies->count() < 2) return;
    Ptr<Base> first = bodies->item(0), second = bodies->item(1);
    Ptr<ObjectCollection> selection = ObjectCollection::create();
    std::string line = "Selection: add null ";
    line += yesNo(selection->add(nullptr));
    selection->add(first);
    selection->add(second);
    selection->add(first);
    line += format(", count %.0f, find %.0f", double(selection->count()),
                   double(selection->find(first)));
    line += format(" %.0f %.0f", double(selection->find(first, 1)), double(selection->find(first, 3)));
    line += std::string(", item past end ") + (selection->item(3) ? "an object" : "null");
    line += std::string(", remove second ") + yesNo(selection->removeByItem(second));
    line += std::string(" again ") + yesNo(selection->removeByItem(second));
    line += std::string(", contains second ") + yesNo(selection->contains(second));
    line += std::string(", remove index 2 ") + yesNo(selection->removeByIndex(2));
    line += std::string(", remove index 0 ") + yesNo(selection->removeByIndex(0));
    line += format(", count %.0f", double(selection->count()));
    line += std::string(", item 0 is the first ") + yesNo(selection->item(0) == first);
    palette->writeText(line);
}

static void sumPhysicalProperties(const Ptr<Design>& design) {
    Ptr<ObjectCollection> bodies = ObjectCollection::create();
    Ptr<Components> components = design->allComponents();
    for (size_t c = 0; c < components->count(); ++c) {
        Ptr<BRepBodies> componentBodies = components->item(c)->bRepBodies();
        for (size_t b = 0; componentBodies && b < componentBodies->count(); ++b)
            bodies->add(componentBodies->item(b));
    }
    Ptr<ProgressDialog> progress = ui->createProgressDialog();
    progress->show("Physical properties", "Body %v of %m", 0, int(bodies->count()));
    double area = 0, volume = 0, mass = 0;
    for (size_t i = 0; i < bodies->count() && !progress->wasCancelled(); ++i) {
        Ptr<BRepBody> body = bodies->item(i);
        Ptr<PhysicalProperties> props = body->physicalProperties();
        if (!props) continue;
        area += props->area();
        volume += props->volume();
        mass += props->mass();
        Ptr<Point3D> centre = props->centerOfMass();
        palette->writeText(body->parentComponent()->name() + "/" + body->name() +
                           format(": centre of mass (%.3f, %.3f, %.3f)", centre->x(),
                                  centre->y(), centre->z()));
        progress->progressValue(int(i + 1));
    }
    progress->hide();
    palette->writeText(format("Bodies: %.0f", double(bodies->count())));
    palette->writeText(format("Area: %.3f cm^2, volume: %.3f cm^3", area, volume));
    palette->writeText(format("Mass: %.6f kg", mass));
    editSelection(bodies);
}

// Each component with everything below it, the centre in its own space.
static void componentProperties(const Ptr<Design>& design) {
    Ptr<Components> components = design->allComponents();
    for (size_t c = 0; c < components->count(); ++c) {
        Ptr<Component> component = components->item(c);
        Ptr<PhysicalProperties> props = component->physicalProperties();
        if (!props) continue;
        Ptr<Point3D> centre = props->centerOfMass();
        palette->writeText(component->name() +
                           format(": area %.3f cm^2, volume %.3f cm^3, density %.6f kg/cm^3",
                                  props->area(), props->volume(), props->density()) +
                           format(", mass %.6f kg", props->mass()) +
                           format(", centre of mass (%.3f, %.3f, %.3f)", centre->x(), centre->y(),
                                  centre->z()));
    }
}

extern "C" XI_EXPORT bool run(const char* /*context*/) {
    app = Application::get();
    if (!app) return false;
    ui = app->userInterface();
    if (!ui) return false;
    palette = ui->palettes()->itemById("TextCommands");
    if (!palette) return false;
    palette->isVisible(true);

    Ptr<Design> design = app->activeProduct();
    if (!design) {
        ui->messageBox("No active Fusion design", "No Design");
        return false;
    }
    palette->writeText(format("Open documents: %.0f", double(app->documents()->count())));
    palette->writeText("Document: " + design->parentDocument()->name());
    palette->writeText("Root: " + design->rootComponent()->name() + " (" +
                       design->unitsManager()->defaultLengthUnits() + ")");
    traverseAssembly(design->rootComponent()->occurrences()->asList(), 1);
    palette->writeText(format("Occurrences: %.0f",
                              double(design->rootComponent()->allOccurrences()->count())));
    chooseFiles();
    chooseFolder();
    sumPhysicalProperties(design);
    componentProperties(design);
    return true;
}

extern "C" XI_EXPORT bool stop(const char* /*context*/) {
    palette = nullptr;
    ui = nullptr;
    app = nullptr;
    return true;
}
