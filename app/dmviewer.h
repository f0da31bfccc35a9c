#pragma once

#include <QString>

#include <memory>

// The program's configuration: config.ini beside the program, held in memory from start to
// exit and written back then (only when it was there to load). When the program's folder
// is not writable (an installed copy), what the program keeps for the user ([Comms], the
// window's layout, the recent files) goes to a per-user copy that is read on top of the
// installed file.
class TdatViewer
{
public:
    struct IniFile;

    // `userLayerDir` empty: decide by whether the program folder is writable, using the
    // per-user configuration folder for an installed copy.
    explicit TdatViewer(const QString& programDir, const QString& userLayerDir = {});
    ~TdatViewer();
    TdatViewer(const TdatViewer&) = delete;
    TdatViewer& operator=(const TdatViewer&) = delete;

    [[nodiscard]] bool ConfigValid() const { return m_valid; }
    [[nodiscard]] QString ProgramDir() const { return m_programDir; }
    [[nodiscard]] QString ConfigFileName() const;
    [[nodiscard]] bool UsesUserLayer() const { return m_user != nullptr; }
    // Where the program keeps data of its own (the log recovery file): beside config.ini, or
    // the per-user folder of an installed copy.
    [[nodiscard]] QString DataDir() const { return m_user ? m_userDir : m_programDir; }

    [[nodiscard]] QString InstrumentImage() const;
    [[nodiscard]] QString Logo() const;
    [[nodiscard]] QString Comment(int n) const; // n = 1..6
    [[nodiscard]] QString Copyright() const;
    [[nodiscard]] QString ViewerName() const;

    [[nodiscard]] int Port() const { return CommsValue("Port", 0); }
    [[nodiscard]] int Cable() const { return CommsValue("Cable", 1); }
    [[nodiscard]] int Baud() const { return CommsValue("Baud", 2); }
    [[nodiscard]] int Parity() const { return CommsValue("Parity", 0); }
    [[nodiscard]] int Data() const { return CommsValue("Data", 1); }
    [[nodiscard]] int Stop() const { return CommsValue("Stop", 0); }
    [[nodiscard]] int Address() const { return CommsValue("Address", 0); }
    [[nodiscard]] int Reconnect() const { return CommsValue("Reconnect", 1); }
    void SetPort(int v) { SetCommsValue("Port", v); }
    void SetCable(int v) { SetCommsValue("Cable", v); }
    void SetBaud(int v) { SetCommsValue("Baud", v); }
    void SetParity(int v) { SetCommsValue("Parity", v); }
    void SetData(int v) { SetCommsValue("Data", v); }
    void SetStop(int v) { SetCommsValue("Stop", v); }
    void SetAddress(int v) { SetCommsValue("Address", v); }
    void SetReconnect(int v) { SetCommsValue("Reconnect", v); }
    // Device path of a port that has no COM-style number (Linux device names).
    [[nodiscard]] QString PortName() const { return CommsText("PortName"); }
    void SetPortName(const QString& v) { SetCommsText("PortName", v); }
    // Extra port paths for the port list, separated by ";".
    [[nodiscard]] QString ExtraPorts() const { return CommsText("ExtraPorts"); }
    // The ports connected to last, newest first, separated by ";".
    [[nodiscard]] QString RecentPorts() const { return CommsText("RecentPorts"); }
    void SetRecentPorts(const QString& v) { SetCommsText("RecentPorts", v); }

    // What the program keeps between runs beyond [Comms] (the window's layout, the recent
    // files), kept where [Comms] is.
    [[nodiscard]] QString UserText(const char* section, const char* key) const;
    void SetUserText(const char* section, const char* key, const QString& value);
    void RemoveUserKey(const char* section, const char* key);

    // Writes the in-memory file back atomically when a setting changed since the last write;
    // an error text with the system's reason (the file on disk then stays as it was), or empty
    // on success (also when there is nothing to write).
    [[nodiscard]] QString Save();

private:
    static constexpr const char* kComms = "Comms";

    [[nodiscard]] QString Text(const char* section, const char* key,
                               const QString& fallback = {}) const;
    [[nodiscard]] int CommsValue(const char* key, int fallback) const;
    [[nodiscard]] QString CommsText(const char* key) const { return UserText(kComms, key); }
    void SetCommsValue(const char* key, int value);
    void SetCommsText(const char* key, const QString& value) { SetUserText(kComms, key, value); }
    [[nodiscard]] QString UserFileName() const;

    QString m_programDir;
    QString m_userDir;
    std::unique_ptr<IniFile> m_ini;
    std::unique_ptr<IniFile> m_user; // set only for an installed copy
    bool m_valid = false;
    bool m_changed = false; // unchanged settings are not rewritten, so the file stays as it is
};
