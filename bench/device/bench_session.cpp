// Setup session timings against the simulated instrument paced at a cable's baud rate: the
// requests and seconds of a first Full session start, of Expand All, and of a second start,
// whose attributes come from the cache; beside each, the time its traffic takes on the line
// alone (10 bits a character), the least any program could need.
#include "instrumentlink.h"
#include "protocol.h"
#include "sessioncontroller.h"
#include "sessionprompts.h"
#include "settingspage.h"
#include "simpty.h"
#include "userprompts.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

class Answers : public IUserPrompts, public ISessionPrompts
{
public:
    int messages = 0;
    void Inform(const QString&) override { ++messages; }
    void ShowError(const QString&) override { ++messages; }
    bool Confirm(const QString&) override { return true; }
    void ShowOpticalPrompt() override { ++messages; }
    int Ask(const QString&, const QStringList& buttons) override
    {
        ++messages;
        return static_cast<int>(buttons.size()) - 1;
    }
    QString AskOpenFileName(const QString&, const QString&) override { return {}; }
    QString AskSaveFileName(const QString&, const QString&) override { return {}; }
    std::optional<bool> AskSetupLevel() override { return true; }
    std::optional<QString> AskPasscode(const TPasscodeQuestion&) override
    {
        return QStringLiteral("2222");
    }
};

struct Counts
{
    int requests = 0;
    int attributes = 0;    // type, minimum, maximum and option-list requests
    qint64 characters = 0; // both ways, line ends included
};

Counts CountSince(TSimPty& sim, size_t from)
{
    using namespace protocol;
    Counts counts;
    const auto& entries = sim.Line().Log().Entries();
    for (size_t i = from; i < entries.size(); ++i) {
        if (entries[i].direction == TTrafficLog::Sent)
            counts.characters += entries[i].text.size();
        Tcommsobj r;
        if (entries[i].direction != TTrafficLog::Received || !r.Parse(entries[i].text))
            continue;
        counts.characters += entries[i].text.size() + 2; // CR LF
        ++counts.requests;
        const bool optionEntry = r.Command == cmd::ReadListEntry &&
                                 sim.Instrument().Menu().TypeOf(r.Register) != item::Menu;
        counts.attributes += r.Command == cmd::ReadType || r.Command == cmd::ReadMinimum ||
                             r.Command == cmd::ReadMaximum || optionEntry;
    }
    return counts;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int baud = argc > 1 ? std::atoi(argv[1]) : 9600;
    TSimOptions options;
    options.line.baud = baud;
    TSimPty sim(options);
    QString path, error;
    if (!sim.Open(&path, &error))
        return 1;
    Answers answers;
    TInstrumentLink link(answers);
    TPortChoice choice;
    choice.portName = path;
    choice.cable = TPortChoice::RS232;
    choice.address = 1;
    choice.baud = serialports::BaudIndexOf(baud);
    if (!link.Open(choice).isEmpty())
        return 1;
    TSessionController session(link, answers, answers);
    TSettingsPage page(session.Tree(), link.Device(), answers);
    const auto readAll = [&] {
        TSettingsTree& tree = session.Tree();
        tree.RunRead(*tree.Top(), TMenuReader::TScope::Below);
    };

    const auto measure = [&](const char* what, const std::function<void()>& step) {
        const size_t from = sim.Line().Log().Entries().size();
        QElapsedTimer clock;
        clock.start();
        step();
        const double seconds = clock.elapsed() / 1000.0;
        const Counts c = CountSince(sim, from);
        std::printf("%-28s %4d requests (%3d attribute reads) %6.2f s (line %6.2f s)\n", what,
                    c.requests, c.attributes, seconds, c.characters * 10.0 / baud);
    };
    std::printf("Full session on the simulated instrument at %d baud\n", baud);
    measure("first session start", [&] { session.StartSessionClick(); });
    measure("Expand All", readAll);
    measure("End Session", [&] { session.EndSessionClick(); });
    measure("second session start", [&] { session.StartSessionClick(); });
    measure("second Expand All", readAll);
    return answers.messages == 0 ? 0 : 1;
}
