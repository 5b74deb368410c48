#include "security/file_cipher.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace vx::security {
namespace {

namespace fs = std::filesystem;

Bytes bytes_of(std::string_view s) {
    return Bytes(s.begin(), s.end());
}

// A trailer with the given length byte and 12 characters.
Bytes trailer(uint8_t len, std::string_view twelve) {
    std::string t(1, char(len));
    t += twelve;
    return bytes_of(t);
}

TEST(FileCipher, FixedKeySeedsAreStableAndIgnoreCase) {
    // Files already on disk depend on these two values: they must never change.
    EXPECT_EQ(key_seed(kDesktopKey), 203);
    EXPECT_EQ(key_seed(kAdminKey), 134);
    EXPECT_EQ(key_seed("brintaxel"), key_seed("BRINTAXEL"));
    EXPECT_NE(key_seed("Brintaxel"), key_seed("Brintaxe"));
}

TEST(FileCipher, KeystreamFollowsTheGenerator) {
    // First keystream bytes from seed 203, computed independently of this code.
    Bytes zeros(8, 0);
    apply_keystream(203, zeros.data(), zeros.size());
    EXPECT_EQ(zeros, (Bytes{0x8C, 0x4C, 0xFA, 0x37, 0x54, 0x14, 0x7C, 0x8B}));
}

TEST(FileCipher, TrailerDetection) {
    struct Case {
        const char* name;
        Bytes data;
        bool enciphered;
    } cases[] = {
        {"empty", {}, false},
        {"too short", bytes_of("Encryption=1"), false},
        {"written trailer", trailer(12, "Encryption=7"), true},
        {"after content",
         [] {
             Bytes b = bytes_of("plain text\r\n");
             const Bytes t = trailer(12, "Encryption=0");
             b.insert(b.end(), t.begin(), t.end());
             return b;
         }(),
         true},
        {"length 11 still holds the word", trailer(11, "Encryption=x"), true},
        {"length 10 cuts the word", trailer(10, "Encryption=x"), false},
        {"word shifted by one", trailer(12, "xEncryption="), true},
        {"length byte above 12 is clamped", trailer(200, "Encryption=5"), true},
        {"plain text ending in the word", bytes_of("Some text Encryption=3\r\n"), false},
    };
    for (const auto& c : cases) EXPECT_EQ(has_cipher_trailer(c.data), c.enciphered) << c.name;
}

TEST(FileCipher, DirectionRulesInMemory) {
    int mark = 42;
    const Bytes plain = bytes_of("Pages=2\r\nPage=Page 1\r\n");

    const Bytes once = cipher_bytes(plain, kDesktopKey, CipherDirection::Encipher, mark);
    ASSERT_EQ(once.size(), plain.size() + kTrailerSize);
    EXPECT_EQ(once.back(), '4') << "only the first digit of the mark is kept";
    EXPECT_NE(Bytes(once.begin(), once.begin() + plain.size()), plain);

    EXPECT_EQ(cipher_bytes(once, kDesktopKey, CipherDirection::Encipher, mark), once);
    EXPECT_EQ(cipher_bytes(plain, kDesktopKey, CipherDirection::Decipher, mark), plain);
    EXPECT_EQ(mark, 42) << "a plain file leaves the mark alone";

    EXPECT_EQ(cipher_bytes(once, kDesktopKey, CipherDirection::Decipher, mark), plain);
    EXPECT_EQ(mark, 4);
    EXPECT_EQ(cipher_bytes(cipher_bytes(once, kDesktopKey, CipherDirection::Decipher, mark), kDesktopKey,
                           CipherDirection::Encipher, mark),
              once);
}

TEST(FileCipher, EmptyFileBecomesTheTrailerAlone) {
    int mark = 3;
    const Bytes enc = cipher_bytes({}, kAdminKey, CipherDirection::Encipher, mark);
    EXPECT_EQ(enc, trailer(12, "Encryption=3"));
    mark = 0;
    EXPECT_TRUE(cipher_bytes(enc, kAdminKey, CipherDirection::Decipher, mark).empty());
    EXPECT_EQ(mark, 3);
}

TEST(FileCipher, NegativeMarkWritesItsSign) {
    int mark = -1;
    const Bytes enc = cipher_bytes(bytes_of("x"), kAdminKey, CipherDirection::Encipher, mark);
    EXPECT_EQ(enc.back(), '-');
    mark = 9;
    cipher_bytes(enc, kAdminKey, CipherDirection::Decipher, mark);
    EXPECT_EQ(mark, 9) << "a trailer character that is no digit does not change the mark";
}

class FileCipherOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("vx_cipher_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const char* name) const { return path_to_utf8(dir_ / name); }
    size_t files_in_dir() const {
        return size_t(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }
    fs::path dir_;
};

TEST_F(FileCipherOnDisk, MissingFileIsLeftMissing) {
    int mark = 1;
    cipher_file(path("none.dtp"), kDesktopKey, CipherDirection::Encipher, mark);
    cipher_file(path("none.dtp"), kDesktopKey, CipherDirection::Decipher, mark);
    EXPECT_EQ(files_in_dir(), 0u);
    EXPECT_EQ(mark, 1);
}

TEST_F(FileCipherOnDisk, RoundTripInPlaceLeavesNoTemporaryFile) {
    const std::string p = path("VX.DTP");
    Bytes plain(5000);  // more than one 2048-byte block
    for (size_t i = 0; i < plain.size(); ++i) plain[i] = uint8_t(i * 7);
    write_file_atomic(p, plain);

    int mark = 5;
    cipher_file(p, kDesktopKey, CipherDirection::Encipher, mark);
    const Bytes enc = read_file(p);
    EXPECT_EQ(enc, cipher_bytes(plain, kDesktopKey, CipherDirection::Encipher, mark));
    cipher_file(p, kDesktopKey, CipherDirection::Encipher, mark);
    EXPECT_EQ(read_file(p), enc);

    mark = 0;
    cipher_file(p, kDesktopKey, CipherDirection::Decipher, mark);
    EXPECT_EQ(read_file(p), plain);
    EXPECT_EQ(mark, 5);
    EXPECT_EQ(files_in_dir(), 1u);
}

}  // namespace
}  // namespace vx::security
