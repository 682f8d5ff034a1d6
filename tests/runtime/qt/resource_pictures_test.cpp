#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <gtest/gtest.h>


namespace verdo {
namespace {

QImage Picture(const char* name) { return QImage(QStringLiteral(":/pictures/") + QString::fromLatin1(name)); }

TEST(ResourcePictures, EveryPictureTheWindowsNameLoadsAtItsSize) {
    struct Case {
        const char* Name;
        QSize Size;
    };
    const Case cases[] = {
        {"Verdo.ico", {32, 32}},      {"browse.ico", {32, 32}}, {"HELP.ICO", {32, 32}},
        {"Hand.cur", {32, 32}},       {"apbg.bmp", {128, 128}}, {"bgrnd.bmp", {256, 48}},
        {"bgrndred.bmp", {256, 256}}, {"logo.bmp", {300, 195}}, {"sec_1.bmp", {240, 120}},
        {"sec_2.bmp", {320, 118}},
    };
    for (const Case& c : cases) {
        QImage picture = Picture(c.Name);
        ASSERT_FALSE(picture.isNull()) << c.Name;
        EXPECT_EQ(picture.size(), c.Size) << c.Name;
        QIcon icon(QStringLiteral(":/pictures/") + QString::fromLatin1(c.Name));
        EXPECT_FALSE(icon.pixmap(16, 16).isNull()) << c.Name;
    }
}

TEST(ResourcePictures, IconsAreDrawnToBeScaled) {
    // Drawn, not painted pixel by pixel: asked for 128 pixels, the icon's outline is still
    // a thin dark edge rather than a blurred band.
    QImageReader reader(QStringLiteral(":/pictures/Verdo.ico"));
    reader.setScaledSize(QSize(128, 128));
    QImage large = reader.read();
    ASSERT_EQ(large.size(), QSize(128, 128));
    EXPECT_LT(large.pixelColor(64, 7).lightness(), 80);
    EXPECT_GT(large.pixelColor(64, 12).lightness(), 100);
    EXPECT_EQ(large.pixelColor(1, 1).alpha(), 0);
}

TEST(ResourcePictures, HandCursorCarriesItsHotSpotAtTheFingertip) {
    QFile file(QStringLiteral(":/pictures/Hand.cur"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray head = file.read(14);
    ASSERT_EQ(head.size(), 14);
    auto word = [&](int at) { return static_cast<uint8_t>(head[at]) | (static_cast<uint8_t>(head[at + 1]) << 8); };
    EXPECT_EQ(word(2), 2);  // a cursor, not an icon
    const int x = word(10), y = word(12);
    EXPECT_EQ(x, 11);
    EXPECT_EQ(y, 1);
    // The hot spot lies on the topmost row of the hand, and nothing of it is above.
    QImage hand = Picture("Hand.cur");
    EXPECT_GT(hand.pixelColor(x, y).alpha(), 128);
    for (int row = 0; row < y; ++row)
        for (int column = 0; column < hand.width(); ++column)
            EXPECT_LT(hand.pixelColor(column, row).alpha(), 128) << column << "," << row;
}

TEST(ResourcePictures, WallpaperTileJoinsWithoutSeams) {
    QImage tile = Picture("apbg.bmp");
    ASSERT_FALSE(tile.isNull());
    // Its diagonal lines run on into the next tile: each pixel of an edge continues one
    // row on at the opposite edge.
    auto near = [](QColor a, QColor b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) < 24;
    };
    const int side = tile.width(), last = side - 1;
    int misses = 0;
    for (int i = 0; i < side; ++i) {
        misses += !near(tile.pixelColor(0, i), tile.pixelColor(last, (i + 1) % side));
        misses += !near(tile.pixelColor(i, 0), tile.pixelColor((i + 1) % side, last));
    }
    EXPECT_LE(misses, 4);
}

}  // namespace
}  // namespace verdo
