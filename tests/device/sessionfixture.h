#pragma once

// A setup session against the simulated instrument over a pseudo-terminal: the instrument
// link, the session controller and the Settings tab, as the program wires them.
#include "eventwait.h"
#include "findchild.h"
#include "recordingsessionprompts.h"
#include "sessioncontroller.h"
#include "settingspage.h"
#include "simlink.h"
#include "steppedticks.h"

#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

class SessionOnSimulator : public ::testing::Test
{
protected:
    void Start(int address = 1, int cable = TPortChoice::RS232, TTickSource* ticks = nullptr)
    {
        ASSERT_EQ(simLink.Open(address, cable, ticks), "");
        sim = simLink.sim.get();
        engine = &simLink.Engine();
        device = &simLink.Device();
        session = std::make_unique<TSessionController>(*simLink.link, prompts, sessionPrompts);
        page = std::make_unique<TSettingsPage>(session->Tree(), *device, prompts);
    }

    bool StartSession(bool full)
    {
        sessionPrompts.levels = {full};
        sessionPrompts.passcodes = {full ? "2222" : "1111"};
        session->StartSessionClick();
        return session->SessionActive();
    }

    std::vector<Tcommsobj> Requests() { return simLink.Requests(); }
    int Count(int command, int reg = -1) { return simLink.Count(command, reg); }
    int CountWrites(int reg, const QString& data) { return simLink.CountWrites(reg, data); }
    void ClearLog() { simLink.ClearLog(); }
    // Until the job that holds the link has ended.
    bool WaitForJob(int timeoutMs = 20000)
    {
        return RunUntil([this] { return !simLink.link->JobRunning(); }, timeoutMs);
    }
    // Every menu not read yet, as Expand All on the top node reads them.
    TJobEnd ReadAllMenus()
    {
        TSettingsTree& tree = session->Tree();
        return tree.Top() ? tree.RunRead(*tree.Top(), TMenuReader::TScope::Below) : TJobEnd::Done;
    }

    QTreeWidget* Tree() { return Child<QTreeWidget>(page.get(), "tvMenuItems"); }
    static QString NameOf(const QTreeWidgetItem* item)
    {
        return item->text(0).section(QStringLiteral(" : "), 0, 0).trimmed();
    }
    // The item reached by names from the top node ("BUILD", "DP"); null when absent.
    QTreeWidgetItem* Item(const QStringList& path)
    {
        QTreeWidgetItem* item = Tree()->topLevelItem(0);
        for (const QString& name : path) {
            QTreeWidgetItem* next = nullptr;
            for (int i = 0; item && i < item->childCount(); ++i)
                if (NameOf(item->child(i)) == name)
                    next = item->child(i);
            item = next;
        }
        return item;
    }
    QStringList ChildNames(const QStringList& path)
    {
        QStringList names;
        if (QTreeWidgetItem* item = Item(path))
            for (int i = 0; i < item->childCount(); ++i)
                names << NameOf(item->child(i));
        return names;
    }
    // Selects an item as a click on it would, opening its editor.
    void Select(const QStringList& path)
    {
        QTreeWidgetItem* item = Item(path);
        ASSERT_NE(item, nullptr) << path.join('/').toStdString();
        Tree()->setCurrentItem(item);
    }

    TSimLink simLink;
    TSimOptions& options = simLink.options;
    RecordingPrompts& prompts = simLink.prompts;
    TSimPty* sim = nullptr;
    RecordingSessionPrompts sessionPrompts;
    TCommsEngine* engine = nullptr;
    TDevice* device = nullptr;
    std::unique_ptr<TSessionController> session;
    std::unique_ptr<TSettingsPage> page;
};
