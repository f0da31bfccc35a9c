#pragma once

class TConsole;
class TInstrumentLink;
class TCtlOutput;
class TCtlPrompts;
struct TCtlOptions;

// What every command of the tool works with: its options, the link, the messages to the
// user and the results, and whether Ctrl+C or SIGTERM asked it to stop (the job that held the
// link has been ended by then; a command ends its session and locks on the way out).
struct TCtlContext
{
    const TCtlOptions& options;
    TInstrumentLink& link;
    TCtlPrompts& prompts;
    TConsole& console;
    TCtlOutput& output;
    const bool& interrupted;
};
