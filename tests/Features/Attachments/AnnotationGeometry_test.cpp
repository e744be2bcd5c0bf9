#include "Features/Attachments/AnnotationGeometry.h"

#include <gtest/gtest.h>

namespace quorrin::annotation {
namespace {

TEST(AnnotationGeometryTest, FitsTheImageCentredWithItsProportions)
{
    struct Case {
        QSizeF bounds;
        QSizeF image;
        QRectF expected;
    };
    const std::vector<Case> cases = {
        {{400, 300}, {200, 100}, {0, 50, 400, 200}},  // wider than the view: scaled up to its width
        {{400, 300}, {100, 300}, {150, 0, 100, 300}}, // taller: fills the height
        {{400, 300}, {800, 600}, {0, 0, 400, 300}},   // scaled down
        {{400, 300}, {0, 0}, {200, 150, 0, 0}},       // an empty image stays a point in the middle
    };
    for (const Case& test : cases)
        EXPECT_EQ(aspectFitRect(test.bounds, test.image), test.expected);
}

TEST(AnnotationGeometryTest, StrokesStayOnTheImageWhenItIsShownAtAnotherSize)
{
    StrokeSet strokes;
    const QRectF small(10, 20, 100, 50);
    strokes.begin();
    EXPECT_TRUE(strokes.extend({60, 45}, small));
    EXPECT_FALSE(strokes.extend({5, 45}, small)); // outside the image: ignored
    ASSERT_EQ(strokes.strokes().size(), 1u);
    EXPECT_EQ(strokes.strokes()[0], (Stroke{{0.5, 0.5}}));

    const QRectF large(0, 0, 400, 200);
    EXPECT_EQ(StrokeSet::toView(strokes.strokes()[0][0], large), QPointF(200, 100));
}

TEST(AnnotationGeometryTest, APressOutsideTheImageAddsAnEmptyStrokeThatOneUndoRemoves)
{
    StrokeSet strokes;
    EXPECT_FALSE(strokes.extend({1, 1}, {0, 0, 10, 10})); // nothing begun yet
    strokes.begin();
    strokes.extend({1, 1}, {0, 0, 10, 10});
    strokes.begin();
    EXPECT_FALSE(strokes.extend({50, 50}, {0, 0, 10, 10}));
    ASSERT_EQ(strokes.strokes().size(), 2u);
    EXPECT_TRUE(strokes.strokes()[1].empty());
    EXPECT_TRUE(strokes.undo());
    EXPECT_EQ(strokes.strokes().size(), 1u);
    EXPECT_TRUE(strokes.undo());
    EXPECT_FALSE(strokes.undo());
}

// Two lines of three and two words, as a page's text layer gives them.
std::vector<PageWord> twoLines()
{
    return {{{72, 97, 35, 16}, false}, {{112, 97, 27, 16}, false}, {{143, 97, 25, 16}, true},
            {{72, 127, 51, 16}, false}, {{128, 127, 25, 16}, true}};
}

TEST(AnnotationGeometryTest, ASelectionGivesOneRectanglePerLine)
{
    const std::vector<PageWord> words = twoLines();
    EXPECT_EQ(selectionLineRects(words, 1, 3), (std::vector<QRectF>{{112, 97, 56, 16}, {72, 127, 51, 16}}));
    // Dragged backwards: the same.
    EXPECT_EQ(selectionLineRects(words, 3, 1), selectionLineRects(words, 1, 3));
    EXPECT_EQ(selectionLineRects(words, 4, 4), (std::vector<QRectF>{{128, 127, 25, 16}}));
    EXPECT_TRUE(selectionLineRects({}, 0, 3).empty());
}

TEST(AnnotationGeometryTest, ASelectionAcrossPagesCoversEveryPageBetweenItsEnds)
{
    const std::vector<int> counts{6, 0, 4, 3};
    struct Case {
        const char* label;
        WordPosition anchor;
        WordPosition focus;
        std::vector<PageRun> runs;
    };
    const std::vector<Case> cases{
        {"one page", {0, 1}, {0, 4}, {{0, 1, 4}}},
        {"one word", {2, 3}, {2, 3}, {{2, 3, 3}}},
        {"last word to the next page's first", {0, 5}, {2, 0}, {{0, 5, 5}, {2, 0, 0}}},
        {"pages between whole, wordless skipped", {0, 2}, {3, 1}, {{0, 2, 5}, {2, 0, 3}, {3, 0, 1}}},
        {"focus on a wordless page", {0, 4}, {1, 0}, {{0, 4, 5}}},
        {"words past a page's end clamp", {2, 9}, {3, 9}, {{2, 3, 3}, {3, 0, 2}}},
        {"pages off the document", {-1, 0}, {7, 0}, {{0, 0, 5}, {2, 0, 3}, {3, 0, 2}}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.label);
        EXPECT_EQ(selectedRuns(test.anchor, test.focus, counts), test.runs);
        // Dragging the other way selects the same words.
        EXPECT_EQ(selectedRuns(test.focus, test.anchor, counts), test.runs);
    }
    EXPECT_TRUE(selectedRuns({0, 0}, {3, 0}, {}).empty());
}

TEST(AnnotationGeometryTest, APointSelectsTheWordUnderItOrTheNearest)
{
    const std::vector<PageWord> words = twoLines();
    EXPECT_EQ(wordAt(words, {120, 100}), 1);
    EXPECT_EQ(wordAt(words, {300, 135}), 4); // right of the second line
    EXPECT_EQ(wordAt(words, {0, 0}), 0);
    EXPECT_FALSE(wordAt({}, {0, 0}));
}

// A 500-point view scrolls once the pointer is within 16 points of an edge or
// past it, faster the farther out, never more than 40 points a step.
TEST(AnnotationGeometryTest, ASelectionDraggedToAnEdgeScrollsTowardsIt)
{
    const std::pair<double, double> steps[] = {
        {250, 0}, {16, 0}, {15, -1}, {-20, -18}, {-1000, -40},
        {484, 0}, {485, 1}, {520, 18}, {2000, 40},
    };
    for (const auto& [y, step] : steps)
        EXPECT_EQ(selectionScrollStep(y, 500), step) << y;
}

TEST(AnnotationGeometryTest, FreeTextSitsAboveThePageCentre)
{
    const QRectF bounds = freeTextBounds({600, 800});
    EXPECT_EQ(bounds, QRectF(200.0 / 600, 340.0 / 800, 200.0 / 600, 60.0 / 800));
    EXPECT_EQ(highlightQuad({0.1, 0.2, 0.3, 0.4})[1], QPointF(0.4, 0.2));
}

} // namespace
} // namespace quorrin::annotation
