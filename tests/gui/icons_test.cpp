#include "filters/filter_tree.h"
#include "gui/drawn_icons.h"
#include "gui/filter_tree_view.h"
#include "gui/gui_support.h"
#include "gui/icon_set.h"
#include "gui/identity_picture.h"
#include "gui/machine_icon.h"
#include "gui/qt_host.h"
#include "support/scripted_host.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace orvel::gui {
namespace {

TEST(DrawnIcons, SignStrokeWidthFollowsSize) {
    EXPECT_EQ(sign_stroke_width(16), 4);
    EXPECT_EQ(sign_stroke_width(18), 6);
    EXPECT_EQ(sign_stroke_width(17), 3);
}

TEST(DrawnIcons, MinusIsABandAcrossTheMiddleOnTransparency) {
    const QImage minus = draw_minus(16, Qt::black);
    ASSERT_EQ(minus.size(), QSize(16, 16));
    // Width 4 centred on y 8: rows 6..9 are ink, rows 0..5 and 10..15 are clear.
    EXPECT_EQ(qAlpha(minus.pixel(8, 7)), 255);
    EXPECT_EQ(qAlpha(minus.pixel(8, 9)), 255);
    EXPECT_EQ(qAlpha(minus.pixel(8, 4)), 0);
    EXPECT_EQ(qAlpha(minus.pixel(8, 11)), 0);
    const QImage plus = draw_plus(16, Qt::black);
    EXPECT_EQ(qAlpha(plus.pixel(7, 2)), 255); // the upright stroke
    EXPECT_EQ(qAlpha(plus.pixel(2, 2)), 0);
}

TEST(DrawnIcons, TickPassesThroughItsThreePointsInItsColour) {
    const QImage tick = draw_tick(64, QColor(0, 128, 0));
    for (const QPoint at : {QPoint(32, 51), QPoint(57, 7), QPoint(7, 32)}) {
        const QColor c = QColor::fromRgba(tick.pixel(at));
        EXPECT_EQ(c.alpha(), 255) << at.x() << "," << at.y();
        EXPECT_EQ(c.green(), 128);
        EXPECT_EQ(c.red(), 0);
    }
    EXPECT_EQ(qAlpha(tick.pixel(60, 60)), 0); // corners stay transparent
    EXPECT_EQ(qAlpha(tick.pixel(2, 2)), 0);
}

TEST(DrawnIcons, StopSignIsARedDiscWithAWhiteCross) {
    const QImage stop = draw_stop_sign(16, Qt::white, QColor(255, 0, 0));
    EXPECT_EQ(QColor::fromRgba(stop.pixel(8, 8)), QColor(255, 255, 255)); // the crossing
    EXPECT_EQ(QColor::fromRgba(stop.pixel(8, 2)), QColor(255, 0, 0));
    EXPECT_EQ(qAlpha(stop.pixel(0, 0)), 0);
}

TEST(DrawnIcons, StarIsFilledAtTheCentreAndClearBetweenItsPoints) {
    const QImage star = draw_star(24, QColor(255, 215, 0));
    EXPECT_EQ(QColor::fromRgba(star.pixel(12, 13)), QColor(255, 215, 0));
    EXPECT_EQ(qAlpha(star.pixel(3, 3)), 0);
    EXPECT_GT(qAlpha(star.pixel(12, 3)), 100); // the top point
}

TEST(DrawnIcons, ColourVariants) {
    EXPECT_EQ(darkened(QColor(200, 100, 51, 80), 0.5), QColor(100, 50, 26, 80));
    EXPECT_EQ(darkened(QColor(10, 20, 30), 3.0), QColor(10, 20, 30)); // above 1 counts as 1
    EXPECT_EQ(more_transparent(QColor(1, 2, 3, 255), 0.5).alpha(), 128);
}

TEST(IconSet, EveryNumberedImageIsReadyAtItsSize) {
    IconSet icons;
    ASSERT_TRUE(icons.prepare());
    const std::pair<int, int> sizes[] = {
        {icon::status_good, 16},
        {icon::status_imperfect, 16},
        {icon::status_preliminary, 16},
        {icon::chosen, 64},
        {icon::unchosen, 64},
        {icon::favourites, 24},
        {icon::search, 24},
        {icon::machine_info, 28},
        {icon::year, 24},
        {icon::software, 24},
        {icon::plus, 16},
        {icon::minus, 16},
        {icon::availability, 20},
        {icon::status, 20},
        {icon::preferences, 28},
        {icon::source, 28},
        {icon::run_machine, 32},
        {icon::run_advanced, 32},
        {icon::run_empty, 32},
        {icon::filters_root, 32},
        {icon::folders_root, 32},
        {icon::folder, 32},
        {icon::bios, 24},
        {icon::chd, 24},
        {icon::mechanical, 24},
        {icon::manufacturer, 20},
        {icon::romset_type, 24},
        {icon::runnability, 16},
        {icon::screen_type, 16},
        {icon::screen_rotate, 16},
    };
    for (const auto& [number, size] : sizes) {
        const QImage& image = icons.image(number);
        ASSERT_FALSE(image.isNull()) << number;
        EXPECT_EQ(image.width(), size) << number;
        EXPECT_EQ(image.height(), size) << number;
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << number; // transparent background
        // On a screen of pixel ratio 2 the picture is drawn at twice the pixels, not enlarged.
        const QImage sharp = icons.icon(number, size).pixmap(QSize(size, size), 2.0).toImage();
        EXPECT_EQ(sharp.size(), QSize(2 * size, 2 * size)) << number;
        EXPECT_EQ(sharp.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                  icons.make(number, 2 * size).convertToFormat(QImage::Format_ARGB32_Premultiplied))
            << number;
    }
    EXPECT_TRUE(icons.image(99).isNull());
    EXPECT_TRUE(icons.image(-1).isNull());
}

TEST(IconSet, EveryTreePictureIsDrawnAtTheTreesIconSize) {
    // Tree items carry picture numbers straight from the core: a number without a drawing
    // would show no icon, a picture at its own size would push its caption out of line.
    MachineList machines(1);
    machines[0].name = "pacman";
    TreeItemList items;
    build_filter_tree(machines, FolderList{}, items);
    FilterTreeView tree(items, guitest::icons());
    tree.fill();
    tree.expandAll();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const QIcon icon = tree.item_at_position(i)->icon(0);
        ASSERT_FALSE(icon.isNull()) << items[i].caption;
        EXPECT_EQ(icon.actualSize(tree.iconSize()), tree.iconSize()) << items[i].caption;
    }
}

TEST(Figures, HardEdgedBlocksWithShadow) {
    const QImage figure = paint_figure(colour_from_bgr(0x0022FF), true, 1);
    ASSERT_EQ(figure.size(), QSize(80, 70));
    EXPECT_EQ(QColor::fromRgb(figure.pixel(0, 0)), QColor(Qt::white));
    // Row 5 of frame 1 is set from column 1 to 11: its block lies at y 35..41.
    EXPECT_EQ(QColor::fromRgb(figure.pixel(40, 38)), QColor(0xFF, 0x22, 0x00));
    // Below the lone pixel of row 1 at column 3 (x 18..24) sits the grey shadow at row 2.
    EXPECT_EQ(QColor::fromRgb(figure.pixel(20, 16)), QColor(0xEE, 0xEE, 0xEE));
}

TEST(MachineIcon, ALooseIcoFileOrNone) {
    test::TempDir mame;
    QByteArray ico;
    QBuffer buffer(&ico);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(draw_star(32, Qt::red).save(&buffer, "ICO"));
    mame.write("icons/galaga.ico", ico.toStdString());
    mame.write("icons/broken.ico", "not an icon");
    MamePaths paths;
    paths.icons_directory = "icons";
    Machine machine;
    machine.name = "galaga";
    const QIcon icon = machine_icon(machine, paths, mame.path());
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.availableSizes().value(0), QSize(32, 32));
    for (const char* name : {"broken", "pacman"}) {
        machine.name = name;
        EXPECT_TRUE(machine_icon(machine, paths, mame.path()).isNull()) << name;
    }
}

TEST(QtHost, DialogFilterConversion) {
    EXPECT_EQ(dialog_filter("Executable (*.exe)|*.exe"), QStringLiteral("Executable (*.exe)"));
    EXPECT_EQ(dialog_filter("Ini Files|*.ini|All|*"), QStringLiteral("Ini Files (*.ini);;All (*)"));
    EXPECT_EQ(dialog_filter(""), QString());
}

} // namespace
} // namespace orvel::gui
