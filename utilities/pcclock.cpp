#include "pcclock.h"

namespace {

class TSystemClock : public IPcClock
{
public:
    QDateTime LocalNow() const override { return QDateTime::currentDateTime(); }
};

} // namespace

const IPcClock& IPcClock::System()
{
    static const TSystemClock clock;
    return clock;
}
