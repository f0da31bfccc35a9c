// Network port names: what each form stands for, and what is refused with a reason.
#include "networkaddress.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct TAddressCase
{
    const char* name;
    const char* text;
    bool network;     // taken as meant for the network at all
    const char* host; // nullptr: refused
    int port;
    bool rfc2217;
    const char* refusal; // part of the message
};

// Named in test output by its case, not as a dump of the object's bytes.
inline void PrintTo(const TAddressCase& c, std::ostream* out)
{
    *out << c.name;
}

class Addresses : public ::testing::TestWithParam<TAddressCase>
{
};

} // namespace

TEST_P(Addresses, ParseAsWritten)
{
    const TAddressCase& c = GetParam();
    EXPECT_EQ(networkaddress::IsNetworkName(QString::fromUtf8(c.text)), c.network);
    QString error;
    const auto address = networkaddress::Parse(QString::fromUtf8(c.text), &error);
    ASSERT_EQ(address.has_value(), c.host != nullptr) << error.toStdString();
    if (!address) {
        EXPECT_TRUE(error.contains(QLatin1String(c.refusal))) << error.toStdString();
        return;
    }
    EXPECT_EQ(address->host, QLatin1String(c.host));
    EXPECT_EQ(address->port, c.port);
    EXPECT_EQ(address->protocol == TNetworkAddress::TProtocol::Rfc2217, c.rfc2217);
    EXPECT_EQ(networkaddress::Parse(address->Url())->host, address->host) << "read back";
}

INSTANTIATE_TEST_SUITE_P(
    NetworkAddress, Addresses,
    ::testing::Values(
        TAddressCase{"RawTcp", "tcp://server.plant:4001", true, "server.plant", 4001, false, ""},
        TAddressCase{"Rfc2217AnyCase", " RFC2217://10.0.0.7:2217/ ", true, "10.0.0.7", 2217, true,
                     ""},
        TAddressCase{"Ipv6InBrackets", "tcp://[::1]:7000", true, "::1", 7000, false, ""},
        TAddressCase{"NoPort", "tcp://server", true, nullptr, 0, false, "port number"},
        TAddressCase{"PortTooLarge", "tcp://server:70000", true, nullptr, 0, false, "host"},
        TAddressCase{"NoHost", "rfc2217://:4001", true, nullptr, 0, false, "host"},
        TAddressCase{"Path", "tcp://server:4001/ttyS0", true, nullptr, 0, false, "more than"},
        TAddressCase{"UserInfo", "tcp://me@server:4001", true, nullptr, 0, false, "more than"},
        TAddressCase{"SerialDevice", "/dev/ttyUSB0", false, nullptr, 0, false, "no protocol"},
        TAddressCase{"OtherScheme", "udp://server:4001", false, nullptr, 0, false, "no protocol"}),
    [](const auto& info) { return std::string(info.param.name); });
