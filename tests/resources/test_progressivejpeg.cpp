// Progressive JPEG files: a few kilobytes can code a flat picture of millions of pixels, the
// decoder holds all of its coefficients at once, and every scan runs over the whole picture.
// The loader holds them to its memory budget (decoding reduced where the picture alone does
// not fit) and its scan limit, and refuses damaged ones before decoding on through grey.
#include "jpegloader.h"

#include <QByteArray>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>
#include <jpeglib.h>

namespace {

// A flat grey picture as a progressive JPEG: one DC scan of all components, then each
// component's AC coefficients in `bands[c]` scans (libjpeg's own progression when empty).
// `sampling` 2 is 4:2:0, 1 is 4:4:4.
QByteArray Progressive(int width, int height, int sampling, std::vector<int> bands = {})
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    info.comp_info[0].h_samp_factor = info.comp_info[0].v_samp_factor = sampling;
    std::vector<jpeg_scan_info> scans{{3, {0, 1, 2}, 0, 0, 0, 0}};
    for (int c = 0; c < int(bands.size()); ++c) {
        const int per = 63 / bands[c];
        for (int b = 0; b < bands[c]; ++b)
            scans.push_back({1, {c}, 1 + b * per, b + 1 == bands[c] ? 63 : per * (b + 1), 0, 0});
    }
    if (bands.empty()) {
        jpeg_simple_progression(&info);
    } else {
        info.scan_info = scans.data();
        info.num_scans = int(scans.size());
    }
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(size_t(width) * 3, 128);
    while (info.next_scanline < info.image_height) {
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return bytes;
}

// Where the entropy-coded data of the first scan ends: the next marker that is neither a
// stuffed byte nor a restart.
qsizetype EndOfFirstScan(const QByteArray& jpeg)
{
    const qsizetype scan = jpeg.indexOf("\xFF\xDA");
    for (qsizetype at = scan + 2; at + 1 < jpeg.size(); ++at) {
        const auto next = quint8(jpeg[at + 1]);
        if (quint8(jpeg[at]) == 0xFF && next != 0x00 && (next < 0xD0 || next > 0xD7))
            return at;
    }
    return -1;
}

} // namespace

TEST(ProgressiveJpeg, FrontPanelLoadsInEveryFormWithinTheBudget)
{
    const PictureResult subsampled = jpegloader::DecodeJpeg(Progressive(2000, 982, 2), "p.jpg");
    ASSERT_TRUE(subsampled.ok()) << subsampled.error.toStdString();
    EXPECT_EQ(subsampled.image.size(), QSize(2000, 982));

    // 17 MB whole: the coefficients alone take 11, so the picture comes at half size.
    const QByteArray full = Progressive(2000, 982, 1);
    const PictureResult reduced = jpegloader::DecodeJpeg(full, "p.jpg");
    ASSERT_TRUE(reduced.ok()) << reduced.error.toStdString();
    EXPECT_EQ(reduced.image.size(), QSize(1000, 491));
    EXPECT_EQ(reduced.sourceSize, QSize(2000, 982));
    EXPECT_EQ(reduced.image.pixelColor(500, 200).red(), 128);
    const PictureResult asked = jpegloader::DecodeJpeg(full, "p.jpg", QSize(400, 200));
    EXPECT_EQ(asked.image.size(), QSize(500, 246)) << "a reduction asked for is kept";
}

TEST(ProgressiveJpeg, OverTheBudgetEvenReducedIsRefused)
{
    // 2048 x 2048 at 4:4:4: 24 MB of coefficients, whatever the size of the picture.
    const PictureResult r = jpegloader::DecodeJpeg(Progressive(2048, 2048, 1), "big.jpg");
    EXPECT_EQ(r.error, "big.jpg is not a valid JPEG picture (needs more than 14 MB to decode).");
    EXPECT_TRUE(r.image.isNull());
    EXPECT_FALSE(r.sourceSize.isValid());
}

TEST(ProgressiveJpeg, ScansUpToTheLimitLoadAndOneMoreIsRefused)
{
    // One DC scan and 63 AC scans; then 65.
    const PictureResult atLimit =
        jpegloader::DecodeJpeg(Progressive(320, 160, 2, {21, 21, 21}), "scans.jpg");
    EXPECT_TRUE(atLimit.ok()) << atLimit.error.toStdString();
    const PictureResult over =
        jpegloader::DecodeJpeg(Progressive(320, 160, 2, {62, 1, 1}), "scans.jpg");
    EXPECT_EQ(over.error, "scans.jpg is not a valid JPEG picture (more than 64 scans).");
}

TEST(ProgressiveJpeg, DamagedScansAreRefusedNotDecodedOnAsGrey)
{
    const QByteArray jpeg = Progressive(2000, 982, 2, {1, 1, 1});
    const qsizetype scan = jpeg.indexOf("\xFF\xDA");
    const qsizetype end = EndOfFirstScan(jpeg);
    ASSERT_GT(end, scan);

    // The DC scan's data stops short at the end of the file.
    const QByteArray cut = jpeg.left(scan + (end - scan) / 2) + "\xFF\xD9";
    EXPECT_EQ(jpegloader::DecodeJpeg(cut, "cut.jpg").error,
              "cut.jpg is not a valid JPEG picture (Corrupt JPEG data: premature end of data "
              "segment).");

    // AC scans with no DC scan before them.
    const QByteArray noDc = jpeg.left(scan) + jpeg.mid(end);
    EXPECT_EQ(jpegloader::DecodeJpeg(noDc, "nodc.jpg").error,
              "nodc.jpg is not a valid JPEG picture (Inconsistent progression sequence for "
              "component 0 coefficient 0).");
}
