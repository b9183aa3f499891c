#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "drawing/block_pictures.h"
#include "drawing/figure.h"
#include "drawing/kc_plots.h"
#include "drawing/stereonet.h"
#include "drawing/wedge_view.h"
#include "model/language.h"
#include "tests/support/example_block.h"

namespace trelmox {
namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A 2 x 2 window into 200 x 100 pixels: 50 pixels a unit, centred across.
TEST(SvgText, MapsTheWindowCentredWithYDownwards) {
    Figure figure;
    struct Case {
        Point2 at;
        const char* expected;
    } cases[] = {
        {{0, 0}, "cx=\"100.00\" cy=\"50.00\""},
        {{1, 1}, "cx=\"150.00\" cy=\"0.00\""},
        {{-1, -1}, "cx=\"50.00\" cy=\"100.00\""},
        {{0.5, -0.25}, "cx=\"125.00\" cy=\"62.50\""},
    };
    for (const Case& c : cases) {
        figure.items = {CircleItem{c.at, 0.1, Pen{{255, 0, 16}, 0.02, LineStyle::Dashed}, std::nullopt}};
        const std::string svg = svgText(figure, 200, 100);
        EXPECT_TRUE(has(svg, c.expected)) << svg;
        EXPECT_TRUE(has(svg, "r=\"5.00\" stroke=\"#ff0010\" stroke-width=\"1.00\" stroke-dasharray=\"5.00,3.00\""))
            << svg;
        EXPECT_TRUE(has(svg, "fill=\"none\"/>"));
    }
}

TEST(SvgText, EscapesTextAndWritesPathsAndAlignment) {
    Figure figure;
    figure.items = {polyline({{-1, 0}, {1, 0}}, Pen{}), polygon({{0, 0}, {1, 0}, {0, 1}}, Colour{1, 2, 3}),
                    TextItem{{0, 0}, "a<b & \"c\"", 0.2, {}, HAlign::Right, VAlign::Top, true}};
    const std::string svg = svgText(figure, 100, 100);
    EXPECT_TRUE(has(svg, "<polyline points=\"0.00,50.00 100.00,50.00 \""));
    EXPECT_TRUE(has(svg, "<polygon points=\"50.00,50.00 100.00,50.00 50.00,0.00 \" stroke=\"none\" fill=\"#010203\""));
    EXPECT_TRUE(has(svg, "y=\"58.00\" font-size=\"10.00\" text-anchor=\"end\""));
    EXPECT_TRUE(has(svg, ">a&lt;b &amp; &quot;c&quot;</text>"));
    EXPECT_TRUE(has(svg, "font-weight=\"bold\""));
}

// A comma-decimal locale must not leak into the coordinates.
TEST(SvgText, IgnoresTheProcessLocale) {
    const std::string before = svgText(stereonetFigure({testing::exampleAttitudes(), 20.0}), 400, 300);
    const char* previous = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    const std::string during = svgText(stereonetFigure({testing::exampleAttitudes(), 20.0}), 400, 300);
    std::setlocale(LC_NUMERIC, previous ? previous : "C");
    EXPECT_EQ(before, during);
}

TEST(WriteSvgFile, WritesBothPicturesOfTheExampleBlock) {
    const auto folder = std::filesystem::temp_directory_path() / "trelmox_views_svg";
    std::filesystem::create_directories(folder);
    const WedgeScene scene = tetrahedronScene(testing::exampleVertices());
    writeSvgFile(folder / "net.svg", stereonetFigure({testing::exampleAttitudes(), 20.0}), 800, 500);
    writeSvgFile(folder / "wedge.svg", wedgeViewFigure(scene, defaultView(scene)), 800, 600);
    for (const char* name : {"net.svg", "wedge.svg"}) {
        std::ifstream in(folder / name);
        std::stringstream content;
        content << in.rdbuf();
        EXPECT_TRUE(content.str().starts_with("<?xml")) << name;
        EXPECT_TRUE(content.str().ends_with("</svg>\n")) << name;
    }
    std::filesystem::remove_all(folder);
}

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

// CJK ideographs and the full-width punctuation that goes with them.
bool hasChinese(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if ((b >= 0xE3 && b <= 0xE9) || (b == 0xEF && i + 1 < text.size() && (text[i + 1] & 0xFE) == 0xBC)) return true;
    }
    return false;
}

// The pictures a window shows speak the interface's language; the picture
// files written beside a block's data file keep their Chinese bytes.
TEST(Pictures, FollowTheLanguageWhileTheirFilesStayChinese) {
    struct Restore {
        ~Restore() { setMessageLanguage(Language::Chinese); }
    } restore;
    const WedgeScene scene = tetrahedronScene(testing::exampleVertices());
    const auto folder = std::filesystem::temp_directory_path() / "trelmox_pictures_language";
    std::string chinese[2];
    for (const Language language : {Language::Chinese, Language::English}) {
        setMessageLanguage(language);
        std::filesystem::create_directories(folder);
        writeBlockPictures(folder, "W1", testing::exampleAttitudes(), parameterNumbers(testing::exampleParams()),
                           testing::exampleLoads(), scene);
        const std::string files[2] = {fileText(folder / stereonetFileName("W1")),
                                      fileText(folder / wedgeViewFileName("W1"))};
        std::filesystem::remove_all(folder);
        if (language == Language::Chinese) {
            chinese[0] = files[0], chinese[1] = files[1];
            EXPECT_TRUE(hasChinese(files[0]));
            continue;
        }
        EXPECT_EQ(files[0], chinese[0]);
        EXPECT_EQ(files[1], chinese[1]);
        for (const Figure& figure :
             {stereonetFigure({testing::exampleAttitudes(), 20.0}), wedgeViewFigure(scene, defaultView(scene)),
              kcHistogramFigure(nullptr), failedVolumeFigure(nullptr), sensitivityFigure({}, "c1", std::nullopt)})
            for (const auto& item : figure.items)
                if (const auto* text = std::get_if<TextItem>(&item)) {
                    EXPECT_FALSE(hasChinese(text->text)) << text->text;
                }
    }
}

} // namespace
} // namespace trelmox
