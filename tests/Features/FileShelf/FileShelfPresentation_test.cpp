#include "Features/FileShelf/FileShelfPresentation.h"

#include <gtest/gtest.h>

namespace quorrin {
namespace {

TEST(FileShelfPresentation, ShelfHeightCaptionAndList)
{
    struct Case {
        int entries;
        bool target;
        double height;
        bool caption;
        double contentTop;
        bool list;
    };
    const Case cases[] = {
        {0, false, 0, false, 5, false},   {0, true, 42, true, 23, false},  {1, false, 38, false, 5, true},
        {1, true, 56, true, 23, true},    {3, false, 98, false, 5, true},  {3, true, 116, true, 23, true},
        {4, false, 126, false, 5, true},  {4, true, 126, true, 23, true},  {9, false, 126, false, 5, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.entries << " entries, target " << c.target);
        const fileshelf::ShelfLayout layout = fileshelf::layout(c.entries, c.target);
        EXPECT_EQ(layout.height, c.height);
        EXPECT_EQ(layout.captionVisible, c.caption);
        EXPECT_EQ(layout.caption, c.caption ? QStringLiteral("拖入此处 · 暂存至这条待办") : QString());
        EXPECT_EQ(layout.contentTop, c.contentTop);
        EXPECT_EQ(layout.listVisible, c.list);
    }
}

TEST(FileShelfPresentation, ListFillsTheShelfBelowTheCaption)
{
    const QSizeF shelf(300, 116);
    EXPECT_EQ(fileshelf::listFrame(shelf, fileshelf::layout(3, true)), QRectF(8, 23, 284, 90));
    EXPECT_EQ(fileshelf::listFrame(shelf, fileshelf::layout(3, false)), QRectF(8, 5, 284, 108));
    EXPECT_EQ(fileshelf::listFrame(QSizeF(10, 4), fileshelf::layout(1, false)), QRectF(8, 5, 0, 0));
    EXPECT_EQ(fileshelf::captionFrame(shelf, 14), QRectF(12, 5, 280, 14));
}

TEST(FileShelfPresentation, RowTextsFollowReachability)
{
    struct Case {
        const char16_t* status;
        bool available;
        const char16_t* label;
    };
    const Case cases[] = {
        {u"仅本次运行", true, u"季度报告.pdf"},
        {u"已保存关联 · 原文件未包含在备份中", true, u"季度报告.pdf"},
        {u"暂时无法访问 · 请连接磁盘或重新定位", false, u"季度报告.pdf · 暂时无法访问"},
    };
    for (const Case& c : cases) {
        const QString status = QString::fromUtf16(c.status);
        SCOPED_TRACE(status.toStdString());
        const fileshelf::RowTexts texts = fileshelf::rowTexts(QStringLiteral("季度报告.pdf"), status, c.available);
        EXPECT_EQ(texts.name, QString::fromUtf16(c.label));
        EXPECT_EQ(texts.nameToolTip, QStringLiteral("季度报告.pdf"));
        EXPECT_EQ(texts.rowToolTip, QStringLiteral("季度报告.pdf\n") + status + QStringLiteral("\n拖出仅复制；× 仅移除关联。"));
        EXPECT_EQ(texts.accessibleName, QStringLiteral("暂存文件：季度报告.pdf"));
    }
}

} // namespace
} // namespace quorrin
