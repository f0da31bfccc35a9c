#pragma once

// A setup session against the simulated instrument over a pseudo-terminal: the engine, the
// instrument model, the session controller and the Settings tab, as the program wires them.
#include "commsengine.h"
#include "device.h"
#include "eventwait.h"
#include "findchild.h"
#include "protocol.h"
#include "recordingprompts.h"
#include "recordingsessionprompts.h"
#include "ringnetwork.h"
#include "sessioncontroller.h"
#include "settingspage.h"
#include "simpty.h"

#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

class SessionOnSimulator : public ::testing::Test
{
protected:
    void Start()
    {
        sim = std::make_unique<TSimPty>(options);
        QString path, error;
        ASSERT_TRUE(sim->Open(&path, &error)) << error.toStdString();
        engine = std::make_unique<TCommsEngine>(ring, prompts);
        engine->SetInstrumentAddress(1);
        device = std::make_unique<TDevice>(ring);
        device->SetAddress(1);
        device->OnTransact = [this](const QString& r) { return engine->Transact(r); };
        engine->SetReportGate([this] { return device->ReadingMenu != 1; });
        TLineSettings line;
        line.portName = path;
        ASSERT_EQ(engine->Open(line), "");
        session = std::make_unique<TSessionController>(*engine, *device, prompts, sessionPrompts);
        page = std::make_unique<TSettingsPage>(*device, *session, prompts);
        session->SetView(page.get());
    }

    bool StartSession(bool full)
    {
        sessionPrompts.levels = {full};
        sessionPrompts.passcodes = {full ? "2222" : "1111"};
        session->StartSessionClick();
        return session->SessionActive();
    }

    // The requests the instrument received since the log was last cleared.
    std::vector<Tcommsobj> Requests()
    {
        std::vector<Tcommsobj> seen;
        for (const auto& e : sim->Line().Log().Entries()) {
            Tcommsobj request;
            if (e.direction == TTrafficLog::Received && request.Parse(e.text))
                seen.push_back(request);
        }
        return seen;
    }
    int Count(int command, int reg = -1)
    {
        int n = 0;
        for (const Tcommsobj& r : Requests())
            n += r.Command == command && (reg < 0 || r.Register == reg);
        return n;
    }
    int CountWrites(int reg, const QString& data)
    {
        int n = 0;
        for (const Tcommsobj& r : Requests())
            n += r.Command == protocol::cmd::WriteValue && r.Register == reg && r.Data == data;
        return n;
    }
    void ClearLog() { sim->Line().Log().Clear(); }

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

    TSimOptions options;
    std::unique_ptr<TSimPty> sim;
    TRingNetwork ring;
    RecordingPrompts prompts;
    RecordingSessionPrompts sessionPrompts;
    std::unique_ptr<TCommsEngine> engine;
    std::unique_ptr<TDevice> device;
    std::unique_ptr<TSessionController> session;
    std::unique_ptr<TSettingsPage> page;
};
