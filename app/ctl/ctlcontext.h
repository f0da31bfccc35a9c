#pragma once

class TConsole;
class TCtlLink;
class TCtlOutput;
class TCtlPrompts;
struct TCtlOptions;

// What every command of the tool works with: its options, the link, the messages to the
// user and the results.
struct TCtlContext
{
    const TCtlOptions& options;
    TCtlLink& link;
    TCtlPrompts& prompts;
    TConsole& console;
    TCtlOutput& output;
};
