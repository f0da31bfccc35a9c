// Cost of one display update: decoding a display register reply and drawing the LCD frame,
// at the Q910 map's own size and at twice it (a large or high-density window), in
// nanoseconds per LCD pixel. Two replies alternate so that every frame is really repainted.
#include "displaydecoder.h"
#include "q910panel.h"
#include "zellcd.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// The committed segment pictures in a program directory of the benchmark's own.
class LcdFixture
{
public:
    LcdFixture()
    {
        const QDir segs(QStringLiteral(MIMIC_BENCH_DATA "/segs"));
        QDir().mkpath(dir_.filePath(QStringLiteral("segs")));
        for (const QString& name : segs.entryList(QDir::Files))
            QFile::copy(segs.filePath(name), dir_.filePath(QStringLiteral("segs/") + name));
        q910panel::ConfigureLcd(lcd);
        lcd.Directory = dir_.path();
    }

    TZelLCD lcd;

private:
    QTemporaryDir dir_;
};

void DecodeAndDraw(benchmark::State& state)
{
    static LcdFixture fixture;
    TZelLCD& lcd = fixture.lcd;
    const int width = int(state.range(0));
    const int height = int(state.range(1));
    // "-12.345 kg, net" and "88888.8" with every annunciator.
    const QString replies[] = {QStringLiteral("00") + QStringLiteral("04064F5B4F664D00141"),
                               QStringLiteral("00FF7F7F7F7F7FFFFFF")};
    if (lcd.Frame(height, width).isNull())
        state.SkipWithError("no frame");
    int next = 0;
    for (auto _ : state) {
        displaydecoder::DecodeDisplay(replies[next], lcd.SegmentState);
        displaydecoder::MirrorPosition17(lcd.SegmentState);
        next ^= 1;
        benchmark::DoNotOptimize(lcd.Frame(height, width).constBits());
    }
    const double pixels = double(width) * height;
    // Seconds per pixel, printed with an SI prefix ("n" for nanoseconds).
    state.counters["time_per_pixel"] = benchmark::Counter(
        pixels, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["pixels"] = pixels;
}

BENCHMARK(DecodeAndDraw)->Args({1036, 287})->Args({2072, 574})->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
