// Pictures of small scenes with known answers, checked with tolerances: where
// a red unit cube lands, that a transform moves it, that an empty group draws
// nothing, that Y-up and Z-up scenes give the same picture.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "preview/PreviewRenderer.h"
#include "preview/SceneFile.h"
#include "support/Files.h"

namespace {

preview::Image picture(const std::string& scene, const std::string& view, const std::string& size) {
    const size_t x = size.find('x');
    preview::RenderSettings settings;
    settings.width = std::stoi(size.substr(0, x));
    settings.height = std::stoi(size.substr(x + 1));
    settings.view = view == "-" ? "" : view;
    return preview::render(preview::readPreviewScene(support::dataPath("preview/" + scene).string()), settings);
}

bool red(const preview::Image& image, int x, int y) {
    const uint8_t* p = &image.rgb[3 * (static_cast<size_t>(y) * image.width + x)];
    return p[0] > p[1] + 60 && p[0] > p[2] + 60;
}

TEST(PreviewPictures, SmallScenesLookAsExpected) {
    const auto cases = support::readTable("preview/pictures.tsv");
    ASSERT_GE(cases.size(), 4u);
    for (const auto& row : cases) {
        ASSERT_EQ(row.size(), 5u);
        SCOPED_TRACE(row[0] + " " + row[1] + " " + row[3]);
        const preview::Image image = picture(row[0], row[1], row[2]);
        if (row[3] == "same-as") {
            const preview::Image other = picture(row[4], row[1], row[2]);
            ASSERT_EQ(other.rgb.size(), image.rgb.size());
            double difference = 0;
            for (size_t i = 0; i < image.rgb.size(); ++i) difference += std::abs(image.rgb[i] - other.rgb[i]);
            EXPECT_LE(difference / static_cast<double>(image.rgb.size()), 3.0);
            continue;
        }
        int x0 = image.width, y0 = image.height, x1 = 0, y1 = 0;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                if (red(image, x, y)) {
                    x0 = std::min(x0, x), y0 = std::min(y0, y);
                    x1 = std::max(x1, x + 1), y1 = std::max(y1, y + 1);
                }
        if (row[4] == "none") {
            EXPECT_GT(x0, x1) << "red pixels in " << x0 << " " << y0 << " " << x1 << " " << y1;
            continue;
        }
        std::istringstream expected(row[4]);
        double box[4];
        expected >> box[0] >> box[1] >> box[2] >> box[3];
        EXPECT_NEAR(x0, box[0], 1.5);
        EXPECT_NEAR(y0, box[1], 1.5);
        EXPECT_NEAR(x1, box[2], 1.5);
        EXPECT_NEAR(y1, box[3], 1.5);
    }
}

}  // namespace
