#include "host/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ModeCase {
  SaverArguments Arguments;
  ScreenSaverMode Expected;
};

void ExpectModes(const std::vector<ModeCase>& cases) {
  for (const ModeCase& c : cases) {
    std::string shown = c.Arguments.empty() ? "(none)" : c.Arguments.front();
    EXPECT_EQ(DecideMode(c.Arguments), c.Expected) << "first parameter " << shown;
  }
}

std::string ConversionMessage(const std::string& text) {
  try {
    ParseInteger(text);
  } catch (const ConversionError& error) {
    return error.what();
  }
  return "no error for '" + text + "'";
}

TEST(SaverCommandLine, NoParameterOrAnEmptyOneConfigures) {
  ExpectModes({{{}, smConfigure}, {{""}, smConfigure}, {{"", "1234"}, smConfigure}});
}

TEST(SaverCommandLine, ConfigureSwitchesInEveryNotation) {
  ExpectModes({{{"/c"}, smConfigure},
               {{"-C"}, smConfigure},
               {{"\\c"}, smConfigure},
               {{"c"}, smConfigure},
               {{"/c:1234"}, smConfigure},
               {{"/C", "99"}, smConfigure}});
}

TEST(SaverCommandLine, PasswordAndPreviewSwitches) {
  ExpectModes({{{"/a", "1234"}, smChangePassword},
               {{"A"}, smChangePassword},
               {{"/p", "1234"}, smPreview},
               {{"-P"}, smPreview},
               {{"p"}, smPreview}});
}

TEST(SaverCommandLine, AnythingElseRunsFullScreen) {
  ExpectModes({{{"/s"}, smRun},
               {{"s"}, smRun},
               {{"/x"}, smRun},
               {{"xc"}, smRun},
               {{"//c"}, smRun},
               {{"cx"}, smRun},
               {{"/"}, smRun},
               {{"ÿc"}, smRun}});
}

TEST(SaverCommandLine, OnlyTheFirstParameterDecides) {
  ExpectModes({{{"/s", "/c"}, smRun}, {{"/p", "/c"}, smPreview}});
}

TEST(SaverCommandLine, SwitchLetterIsComparedAfterAsciiUpperCase) {
  EXPECT_TRUE(HasSwitch({"/p"}, 'P'));
  EXPECT_FALSE(HasSwitch({"/p"}, 'C'));
  EXPECT_TRUE(HasSwitch({}, 'X'));
  // Characters after the second are not looked at.
  EXPECT_TRUE(HasSwitch({"-pqrs"}, 'P'));
}

TEST(SaverHandle, DecimalNumbersWithAnOptionalSignAreRead) {
  EXPECT_EQ(ParseInteger("1234"), 1234);
  EXPECT_EQ(ParseInteger("+17"), 17);
  EXPECT_EQ(ParseInteger("-3"), -3);
  EXPECT_EQ(ParseInteger("0"), 0);
  EXPECT_EQ(ParseInteger("007"), 7);
  EXPECT_EQ(ParseInteger("2147483647"), 2147483647);
  EXPECT_EQ(ParseInteger("-2147483648"), INT32_MIN);
}

TEST(SaverHandle, AnythingButADecimalNumberIsTheConversionError) {
  EXPECT_EQ(ConversionMessage(""), "'' is not a valid integer value");
  EXPECT_EQ(ConversionMessage("abc"), "'abc' is not a valid integer value");
  for (std::string bad : {"-", "+", "12a", " 12", "12 ", "0x10", "$10", "1.5", "--1", "2147483648",
                          "-2147483649", "99999999999999999999"}) {
    EXPECT_EQ(ConversionMessage(bad), "'" + bad + "' is not a valid integer value");
  }
}

TEST(SaverHandle, AMissingSecondParameterReadsAsEmptyText) {
  EXPECT_EQ(HandleArgument({"/p", "1234"}), 1234);
  EXPECT_THROW(HandleArgument({"/p"}), ConversionError);
}

TEST(SaverHandle, ZeroMeansNoParentAndNegativeHandlesNameNoWindow) {
  EXPECT_EQ(ClassifyPreviewHandle(0), PreviewParentKind::None);
  EXPECT_EQ(ClassifyPreviewHandle(-3), PreviewParentKind::NoSuchWindow);
  EXPECT_EQ(ClassifyPreviewHandle(INT32_MIN), PreviewParentKind::NoSuchWindow);
  EXPECT_EQ(ClassifyPreviewHandle(1234), PreviewParentKind::Candidate);
}

}  // namespace
