#pragma once

#include "siminstrument.h"
#include "simline.h"

#include <QString>

#include <vector>

// Everything that shapes one simulator run: which instruments sit on the line, how the
// line behaves, the faults to inject and the files to use. The command line fills it in;
// in-process tests build one directly.
struct TSimOptions
{
    std::vector<int> addresses{1};
    TSimLine::TOptions line;
    // Settings of every instrument; each takes its address from `addresses`, and the
    // serial number and noise seed grow by one from instrument to instrument.
    TSimInstrument::TSettings instrument;
    QString logFile;
    QString stateFile;
};
