// A child program for the recovery test: the Log page on an in-process simulator.
//   logrun_child FOLDER run    logs at 10 Hz until killed, printing "time,weight" of every
//                              kept sample as it comes (as the recovery file writes them)
//   logrun_child FOLDER offer  opens the left-over run it is offered; prints "opened N"
#include "fixedtext.h"
#include "logchart.h"
#include "logrig.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    TSimOptions options;
    options.line.baud = 38400;
    TLogRig rig(options, args[1], args[1] + QStringLiteral("/child.pdf"));
    if (const QString error = rig.Open(); !error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 3;
    }
    auto* chart = rig.page->findChild<TLogChart*>(QStringLiteral("Chart"));
    if (args[2] == QLatin1String("offer")) {
        rig.prompts.answers = {0};
        const bool opened = rig.page->OfferLeftOverRun({});
        std::printf("opened %lld\n", opened ? qlonglong(chart->PointCount(traces::Weight)) : -1LL);
        return 0;
    }
    qsizetype reported = 0;
    QTimer report;
    QObject::connect(&report, &QTimer::timeout, [&] {
        for (; reported < chart->PointCount(traces::Weight); ++reported) {
            const TTracePoint point = chart->Point(traces::Weight, reported);
            std::printf("%s,%s\n", fixedtext::FixedText(point.time, 2).toLatin1().constData(),
                        fixedtext::FixedText(point.value, 1).toLatin1().constData());
        }
        std::fflush(stdout);
    });
    report.start(10);
    AnswerLogDialog(0, {1, 3, 0, 0});
    QTimer::singleShot(0, rig.page.get(), [&] { rig.Button("BtnStart")->click(); });
    return app.exec();
}
