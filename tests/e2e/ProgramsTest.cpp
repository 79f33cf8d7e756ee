// Every program answers --help with its usage on standard output, and an option
// it does not know ends it with status 2 and a message naming the option,
// before it does anything else.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/Files.h"
#include "support/Program.h"

namespace fs = std::filesystem;

TEST(Programs, AnswerHelpAndRefuseAnUnknownOption) {
    const fs::path folder = fs::path(FUSION_SIM).parent_path();
    const support::TempFolder work;  // a program that took the option for a name writes here
    support::RunOptions inWork;
    inWork.folder = work.path();
    for (const auto& row : support::readTable("e2e/programs.tsv")) {
        SCOPED_TRACE(row.at(0));
        const fs::path program = folder / row.at(0);
        if (!fs::exists(program)) {
            EXPECT_NE(row.at(1), "always") << "not built";
            continue;
        }
        const support::Outcome help = support::run({program.string(), "--help"});
        EXPECT_EQ(help.status, 0) << help.err;
        EXPECT_TRUE(help.out.find("sage:") != std::string::npos &&
                    help.out.find(row.at(0)) != std::string::npos)
            << help.out;

        const support::Outcome wrong =
            support::run({program.string(), "--no-such-option"}, inWork);
        EXPECT_EQ(wrong.status, 2) << wrong.out << wrong.err;
        EXPECT_NE(wrong.err.find("--no-such-option"), std::string::npos) << wrong.err;
        EXPECT_TRUE(fs::is_empty(work.path())) << "it wrote something";
    }
}
