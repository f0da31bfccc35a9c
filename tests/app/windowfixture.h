#pragma once

// The whole main window against the simulated instrument on a pseudo-terminal, with prompts
// that answer from queues, for runs in which the line misbehaves or the instrument goes away:
// the window, its widgets by object name, what the instrument saw, and a switch that kills
// the simulator the moment a condition holds.
#include "commsengine.h"
#include "dmviewer.h"
#include "eventwait.h"
#include "findchild.h"
#include "identitypanel.h"
#include "instrumentlink.h"
#include "main.h"
#include "modaldriver.h"
#include "pdfprompts.h"
#include "protocol.h"
#include "recordingprompts.h"
#include "recordingsessionprompts.h"
#include "serialports.h"
#include "sessioncontroller.h"
#include "simpty.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

class WindowOnSimulator : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile ini(dir.filePath("config.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Images]\nInstrument=panel.png\n[Comms]\n");
        ini.close();
        QImage panel(100, 49, QImage::Format_RGB32);
        panel.fill(Qt::darkGray);
        panel.save(dir.filePath("panel.png"));
        const QDir segs(QStringLiteral(VIEWER_BIN_DIR "/segs"));
        QDir(dir.path()).mkdir("segs");
        for (const QString& name : segs.entryList(QDir::Files))
            QFile::copy(segs.filePath(name), dir.filePath("segs/" + name));
        config = std::make_unique<TdatViewer>(dir.path());
        const TPromptSet answers{&prompts, &sessionPrompts, &print};
        window = std::make_unique<TFrmMain>(*config, answers);
        ASSERT_EQ(window->FormCreate(), "");
        m_killer.setInterval(1);
        QObject::connect(&m_killer, &QTimer::timeout, [this] { KillIfDue(); });
    }

    // Starts the simulator as `options` say and connects the window to it (RS232, address 1).
    void Connect()
    {
        sim = std::make_unique<TSimPty>(options);
        QString error;
        ASSERT_TRUE(sim->Open(&portPath, &error)) << error.toStdString();
        TPortChoice choice;
        choice.portName = portPath;
        choice.cable = TPortChoice::RS232;
        choice.address = 1;
        // A lost link is reported and left apart; waiting for it to return has tests of its own.
        choice.reconnect = false;
        ASSERT_TRUE(window->ConnectWith(choice));
    }

    // Closes the simulator's side of the line, as a killed simulator or a pulled cable does,
    // as soon as `when` holds; checked every millisecond from inside whatever waits then.
    void KillWhen(std::function<bool()> when)
    {
        m_killWhen = std::move(when);
        m_killer.start();
    }
    // Ready for the next KillWhen.
    void ResetKill()
    {
        m_killer.stop();
        m_killed = false;
    }

    // Runs what is queued already, and what that queues in turn: the reactions to a lost link
    // arrive through queued calls.
    static void DrainEvents()
    {
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
    }

    // A Full setup session from the Instrument menu; true when it is open.
    bool StartFullSession()
    {
        sessionPrompts.levels = {true};
        sessionPrompts.passcodes = {"2222"};
        Action("StartSession")->trigger();
        return Find<TSessionController>()->SessionActive();
    }

    // Expand All from the tree's popup on the selected node (the top node after a start),
    // waited for to its end.
    void ExpandAll()
    {
        Action("tvMenupopupExpand")->trigger();
        WaitForJob(*window);
    }
    // Until the job that holds the window's link has ended.
    static bool WaitForJob(QWidget& window, int timeoutMs = 60000)
    {
        const TInstrumentLink* link = Child<TInstrumentLink>(&window, QString());
        return RunUntil([link] { return !link->JobRunning(); }, timeoutMs);
    }

    template <class T> T* Find(const char* name = "")
    {
        return Child<T>(window.get(), QLatin1String(name));
    }
    QAction* Action(const char* name) { return Find<QAction>(name); }
    QTabWidget* Tabs() { return Find<QTabWidget>("PgCMain"); }
    // A page that must not be shown has no tab at all.
    bool TabShown(const char* page) { return Tabs()->indexOf(Find<QWidget>(page)) >= 0; }
    TCommsEngine& Engine() { return *Find<TCommsEngine>(); }
    QString Identity() { return Find<TIdentityPanel>("IdentityPanel")->Text(); }
    QTreeWidget* Tree() { return Find<QTreeWidget>("tvMenuItems"); }
    QString Messages() const { return prompts.messages.join(u'|'); }

    // Every caption of a tree, depth first, indented by level.
    static QStringList Captions(const QTreeWidget* tree)
    {
        QStringList captions;
        const std::function<void(const QTreeWidgetItem*, int)> walk =
            [&](const QTreeWidgetItem* item, int depth) {
                captions << QString(depth * 2, u' ') + item->text(0);
                for (int i = 0; i < item->childCount(); ++i)
                    walk(item->child(i), depth + 1);
            };
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            walk(tree->topLevelItem(i), 0);
        return captions;
    }
    QStringList TreeCaptions() { return Captions(Tree()); }

    // The state of a window whose link went away: nothing but Display and Log to use.
    void ExpectDisconnected()
    {
        EXPECT_FALSE(window->Connected());
        // No address; the name of a file opened before may stay.
        EXPECT_TRUE(window->windowTitle().endsWith("ViewQ900"))
            << window->windowTitle().toStdString();
        EXPECT_EQ(Action("ToolButton4")->text(), "&Connect");
        EXPECT_TRUE(Action("ToolButton4")->isEnabled());
        EXPECT_FALSE(Action("StartSession")->isEnabled());
        EXPECT_FALSE(Action("tbEndSession")->isEnabled());
        EXPECT_FALSE(TabShown("TSSettings"));
        EXPECT_FALSE(TabShown("TSCal"));
        EXPECT_FALSE(TabShown("TSTest"));
        EXPECT_TRUE(Tabs()->isEnabled());
        EXPECT_EQ(Identity(), "");
        EXPECT_FALSE(Find<TSessionController>()->SessionActive());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "no hourglass left behind";
    }
    // The one report of a lost link.
    QString LostMessage() const { return "error: The connection to " + portPath + " was lost: "; }

    QTemporaryDir dir;
    std::unique_ptr<TdatViewer> config;
    RecordingPrompts prompts;
    RecordingSessionPrompts sessionPrompts;
    PdfPrompts print{dir.filePath("printed.pdf")};
    TSimOptions options;
    QString portPath;
    // The simulator outlives the window, so that its pseudo-terminal is not reused while
    // the window still holds the port.
    std::unique_ptr<TSimPty> sim;
    std::unique_ptr<TFrmMain> window;

private:
    void KillIfDue()
    {
        if (!sim || !m_killWhen() || m_killed)
            return;
        m_killer.stop();
        m_killed = true;
        sim->Close();
    }

    std::function<bool()> m_killWhen;
    bool m_killed = false;
    QTimer m_killer;
};
