// The print-format codec: instrument data to editor text and back, the size limits, the
// byte count and the ticket preview.
#include "printformatcodec.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

using namespace printformat;

struct TTextCase
{
    const char* in;
    const char* out;
};

// Named in test output by its text, with control characters spelt out.
inline void PrintTo(const TTextCase& c, std::ostream* out)
{
    *out << ::testing::PrintToString(std::string(c.in));
}

class Decoding : public ::testing::TestWithParam<TTextCase>
{
};

TEST_P(Decoding, GivesTheEditorText)
{
    EXPECT_EQ(Decode(QString::fromLatin1(GetParam().in)), QString::fromLatin1(GetParam().out));
}

INSTANTIATE_TEST_SUITE_P(
    Data, Decoding,
    ::testing::Values(TTextCase{"4E45543A0D0A00", R"(NET:\0D\0A)"}, // the terminator ends it
                      TTextCase{"", ""},                            //
                      TTextCase{"00414243", ""},                    // nothing before the 0
                      TTextCase{"414200434400", "AB"},              // nor after it
                      TTextCase{"4e6574", "Net"},                   // either case
                      TTextCase{"20417E", " A~"},                   // the printable range
                      TTextCase{"1F7F80A3FF", R"(\1F\7F\80\A3\FF)"},
                      TTextCase{"414", R"(A\04)"},    // a lone last digit is a byte
                      TTextCase{"4G41", R"(\04A)"},   // a non-digit adds nothing
                      TTextCase{"G441", R"(\04A)"},   //
                      TTextCase{"GG41", ""},          // a pair of non-digits is 0: the end
                      TTextCase{"5C", R"(\\)"},       // a backslash is doubled
                      TTextCase{"5C3431", R"(\\41)"}, // so that it stays a backslash
                      TTextCase{"615C62", R"(a\\b)"}));

class Encoding : public ::testing::TestWithParam<TTextCase>
{
};

TEST_P(Encoding, GivesTheRegisterData)
{
    EXPECT_EQ(Encode(QString::fromLatin1(GetParam().in)), QString::fromLatin1(GetParam().out));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Encoding,
    ::testing::Values(TTextCase{R"(NET:\0D\0A)", "4E45543A0D0A"}, // no terminator added
                      TTextCase{"", "00"},                        // an empty text is one 0
                      TTextCase{R"(a\\b)", "615C62"},             //
                      TTextCase{R"(a\zzb)", "6162"},  // a bad escape and its two characters go
                      TTextCase{R"(\4z1)", "31"},     // one bad digit spoils the escape
                      TTextCase{R"(\0d\a3)", "0DA3"}, // digits of either case
                      TTextCase{R"(\41)", "41"},      // an escape is one byte
                      TTextCase{R"(ab\4)", "616204"}, // one digit at the end
                      TTextCase{R"(ab\)", "616200"},  // none at the end
                      TTextCase{R"(\\41)", "5C3431"}, // a kept backslash
                      TTextCase{"\xE9", "E9"}));      // Latin-1 as its own byte

TEST(Encoding, CharactersBeyondEightBitsBecomeQuestionMarks)
{
    EXPECT_EQ(Encode(QStringLiteral("1\u20AC")), "313F");
}

TEST(Encoding, EveryByteComesBackFromItsDecodedText)
{
    QString all;
    for (int b = 1; b <= 0xFF; ++b) {
        const QString pair = QStringLiteral("%1").arg(b, 2, 16, QChar(u'0')).toUpper();
        EXPECT_EQ(Encode(Decode(pair)), pair);
        all += pair;
    }
    EXPECT_EQ(Encode(Decode(all)), all);
    EXPECT_EQ(ByteCount(Decode(all)), 255);
}

struct TLimitCase
{
    int shortLength; // characters of the short-press and long-press formats
    int longLength;
    QStringList messages;
};

inline void PrintTo(const TLimitCase& c, std::ostream* out)
{
    *out << "short " << c.shortLength << ", long " << c.longLength;
}

class Limits : public ::testing::TestWithParam<TLimitCase>
{
};

TEST_P(Limits, RefuseWhatIsLongerThanTheInstrumentHolds)
{
    TPrintFormats formats;
    formats.shortText = QString(GetParam().shortLength, u'x');
    formats.longText = QString(GetParam().longLength, u'y');
    EXPECT_EQ(LengthMessages(formats), GetParam().messages);
}

const QString kShortTooLong = QStringLiteral("Short Press Print Format String too long");
const QString kLongTooLong = QStringLiteral("Long Press Print Format String too long");

INSTANTIATE_TEST_SUITE_P(DefaultLimits, Limits,
                         ::testing::Values(TLimitCase{80, 20, {}},
                                           TLimitCase{81, 20, {kShortTooLong}},
                                           TLimitCase{0, 21, {kLongTooLong}},
                                           TLimitCase{81, 21, {kShortTooLong, kLongTooLong}}));

TEST(Limits, CountBytesNotCharacters)
{
    TPrintFormats formats{QString(), QString(), 3, 1};
    formats.shortText = QStringLiteral(R"(\0D\0A\\)");
    formats.longText = QStringLiteral(R"(\zz\81)");
    EXPECT_TRUE(LengthMessages(formats).isEmpty());
    EXPECT_EQ(ByteCount(formats.shortText), 3);
    formats.shortText += u'x';
    EXPECT_EQ(LengthMessages(formats), QStringList{kShortTooLong});
    EXPECT_TRUE(Fits(QString(), 1)) << "the lone 0 of an empty text fits any limit";
    EXPECT_EQ(ByteCount(QString()), 0);
}

class Previews : public ::testing::TestWithParam<TTextCase>
{
};

TEST_P(Previews, SpellOutWhatIsNotPrintable)
{
    EXPECT_EQ(Preview(QString::fromLatin1(GetParam().in)), QString::fromLatin1(GetParam().out));
}

INSTANTIATE_TEST_SUITE_P(Texts, Previews,
                         ::testing::Values(TTextCase{R"(NET:\0D\0A)", "NET:[CR][LF]"},
                                           TTextCase{R"(\86\1B#\89)", "[86][ESC]#[89]"},
                                           TTextCase{R"(\7F\\)", R"([DEL]\)"},
                                           TTextCase{R"(a\00b)", "a"}, // a 0 ends the ticket
                                           TTextCase{"", ""}));

} // namespace
