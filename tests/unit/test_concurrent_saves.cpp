// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// Two copies of the program open on the same bh.cfg, both pressing OK, again and again, while
// a third reads the file (as the game would on start): every read and the file at the end must
// be one copy's complete output, never a mix and never a half-written file.
#include "ConfigFileTestSupport.h"

#include <atomic>
#include <string>
#include <thread>

using bh_test::configBytes;
using bh_test::readFile;

TEST(ConcurrentSaves, theFileIsAlwaysOneWholeOutput)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = bh::configPathIn(dir.path());
    // Different lengths, so a mix of the two could not pass for either.
    const bh::ConfigRecord first = bh_test::distinctRecord();
    const bh::ConfigRecord second{};
    const QByteArray firstBytes = configBytes(first);
    const QByteArray secondBytes = configBytes(second);
    ASSERT_NE(firstBytes.size(), secondBytes.size());
    bh::writeConfigFile(path, first);

    constexpr int kSaves = 300;
    std::atomic<bool> writing{true};
    std::atomic<int> failedSaves{0};
    auto copy = [&](const bh::ConfigRecord& record) {
        for (int i = 0; i < kSaves; ++i) {
            try {
                bh::writeConfigFile(path, record);
            } catch (const std::exception&) {
                ++failedSaves;
            }
        }
    };
    std::thread a(copy, std::cref(first));
    std::thread b(copy, std::cref(second));

    int reads = 0;
    QByteArray mixed;
    std::thread reader([&] {
        while (writing) {
            const QByteArray seen = readFile(path);
            ++reads;
            if (seen != firstBytes && seen != secondBytes && mixed.isEmpty()) {
                mixed = seen;
            }
        }
    });
    a.join();
    b.join();
    writing = false;
    reader.join();

    EXPECT_EQ(failedSaves, 0);
    EXPECT_TRUE(mixed.isEmpty()) << "a read saw: " << mixed.toStdString();
    const QByteArray last = readFile(path);
    EXPECT_TRUE(last == firstBytes || last == secondBytes) << last.toStdString();
    EXPECT_EQ(bh_test::strayFiles(dir.path()), "");
    EXPECT_GT(reads, 0);
}
