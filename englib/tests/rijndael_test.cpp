#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "core/errors.h"
#include "englib/rijndael.h"

using namespace kelva;
using namespace kelva::eng;
namespace fs = std::filesystem;

namespace {
using Bytes = Rijndael::Bytes;

Bytes hex(std::string_view s) {
    Bytes b;
    for (size_t i = 0; i + 1 < s.size(); i += 2) b.push_back(static_cast<std::uint8_t>(std::stoi(std::string(s.substr(i, 2)), nullptr, 16)));
    return b;
}
Bytes sequence(size_t n, std::uint8_t start = 0) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(start + i);
    return b;
}

fs::path scratch(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / (std::string("kelva-rijndael-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
    return dir / name;
}
void writeFile(const fs::path& p, const Bytes& b) {
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}
Bytes readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

struct Vector {
    const char* key;
    const char* plain;
    const char* cipher;
};
// The example vectors of the AES standard (appendices B and C).
const Vector kVectors[] = {
    {"2b7e151628aed2a6abf7158809cf4f3c", "3243f6a8885a308d313198a2e0370734", "3925841d02dc09fbdc118597196a0b32"},
    {"000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff", "69c4e0d86a7b0430d8cdb78070b4c55a"},
    {"000102030405060708090a0b0c0d0e0f1011121314151617", "00112233445566778899aabbccddeeff", "dda97ca4864cdfe06eaf70a0ec0d7191"},
    {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f", "00112233445566778899aabbccddeeff",
     "8ea2b7ca516745bfeafc49904b496089"},
};
}  // namespace

TEST(Rijndael, StandardExampleVectors) {
    Rijndael c;
    for (const Vector& v : kVectors) {
        const Bytes key = hex(v.key);
        c.setCipherKey(key, static_cast<std::int32_t>(key.size() * 8));
        const Bytes plain = hex(v.plain);
        Bytes out(16);
        c.blockEncrypt(plain, out, 0, 0);
        EXPECT_EQ(out, hex(v.cipher)) << v.key;
        Bytes back(16);
        c.blockDecrypt(back, out, 0, 0);
        EXPECT_EQ(back, plain) << v.key;
    }
}

TEST(Rijndael, BlocksAtPositionsAndInPlace) {
    Rijndael c;
    c.setCipherKey(hex(kVectors[1].key), 128);
    Bytes buf(40, 0xEE);
    const Bytes plain = hex(kVectors[1].plain);
    std::copy(plain.begin(), plain.end(), buf.begin() + 7);
    c.blockEncrypt(buf, buf, 7, 7);
    EXPECT_EQ(Bytes(buf.begin() + 7, buf.begin() + 23), hex(kVectors[1].cipher));
    EXPECT_EQ(buf[6], 0xEE);
    EXPECT_EQ(buf[23], 0xEE);
    EXPECT_THROW(c.blockEncrypt(buf, buf, 25, 0), VbError);
    EXPECT_THROW(c.blockDecrypt(buf, buf, 0, -1), VbError);
}

TEST(Rijndael, KeyErrors) {
    Rijndael c;
    Bytes out(16);
    try {
        c.setCipherKey(Bytes(32), 64);
        FAIL();
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 1);
        EXPECT_EQ(e.description(), L"cRijndael.SetCipherKey - Illegal KeyBits Value");
    }
    EXPECT_THROW(c.setCipherKey(Bytes(15), 128), VbError);
    EXPECT_THROW(c.blockEncrypt(Bytes(16), out, 0, 0), VbError);  // no key yet
}

TEST(Rijndael, PassPhraseIsCutOrPaddedTo32Bytes) {
    Rijndael a, b;
    const std::wstring longPhrase = L"0123456789abcdef0123456789ABCDEF-and-more";
    a.setCipherKeyString(longPhrase, 256);
    Bytes key(longPhrase.begin(), longPhrase.begin() + 32);
    b.setCipherKey(key, 256);
    Bytes x(16), y(16);
    a.blockEncrypt(sequence(16), x, 0, 0);
    b.blockEncrypt(sequence(16), y, 0, 0);
    EXPECT_EQ(x, y);
    // With 128 bits only the first 16 bytes count.
    a.setCipherKeyString(L"0123456789abcdefXYZ", 128);
    b.setCipherKeyString(L"0123456789abcdef", 128);
    a.blockEncrypt(sequence(16), x, 0, 0);
    b.blockEncrypt(sequence(16), y, 0, 0);
    EXPECT_EQ(x, y);
    // A short phrase is zero-padded; Korean text goes in as code page 949 bytes.
    a.setCipherKeyString(L"키", 128);
    b.setCipherKey(Bytes{0xC5, 0xB0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 128);
    a.blockEncrypt(sequence(16), x, 0, 0);
    b.blockEncrypt(sequence(16), y, 0, 0);
    EXPECT_EQ(x, y);
}

TEST(Rijndael, ArrayFraming) {
    Rijndael c;
    c.setCipherKeyString(L"secret", 192);
    Bytes cipher, plain;
    c.arrayEncrypt(sequence(20), cipher, true);
    EXPECT_EQ(cipher.size(), 32u);
    // Decrypted without the length field, the last byte is the length mod 16.
    c.arrayDecrypt(plain, cipher, false);
    ASSERT_EQ(plain.size(), 32u);
    EXPECT_EQ(plain.back(), 4);
    c.arrayEncrypt(sequence(32), cipher, true);
    EXPECT_EQ(cipher.size(), 48u);
    c.arrayEncrypt(sequence(20), cipher, false);
    EXPECT_EQ(cipher.size(), 32u);
    c.arrayEncrypt(sequence(16), cipher, false);
    EXPECT_EQ(cipher.size(), 16u);
    EXPECT_EQ(c.arrayDecrypt(plain, cipher, false), 0);
    EXPECT_EQ(plain, sequence(16));
}

TEST(Rijndael, ArrayRoundTripsOfEveryLength) {
    Rijndael c;
    c.setCipherKeyString(L"round trip", 256);
    for (size_t n = 0; n <= 100; ++n) {
        const Bytes data = sequence(n, static_cast<std::uint8_t>(n * 7));
        Bytes cipher, back;
        ASSERT_EQ(c.arrayEncrypt(data, cipher, true), 0);
        EXPECT_EQ(cipher.size(), (n + 16) / 16 * 16);
        EXPECT_EQ(c.arrayDecrypt(back, cipher, true), 0) << n;
        EXPECT_EQ(back, data) << n;
    }
}

TEST(Rijndael, ArrayDecryptFailures) {
    Rijndael c;
    std::vector<std::wstring> messages;
    c.setNotify([&](const std::wstring& m) { messages.push_back(m); });
    c.setCipherKeyString(L"right", 128);
    Bytes plain{1, 2, 3};
    EXPECT_EQ(c.arrayDecrypt(plain, Bytes(20), true), -1);
    EXPECT_EQ(plain, (Bytes{1, 2, 3}));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], L"ciphertext size not a multiple of block size");

    Bytes cipher;
    c.arrayEncrypt(sequence(37), cipher, true);
    Rijndael wrong;
    wrong.setCipherKeyString(L"wrong", 128);
    wrong.setNotify([&](const std::wstring& m) { messages.push_back(m); });
    EXPECT_EQ(wrong.arrayDecrypt(plain, cipher, true), 1);
    EXPECT_EQ(plain.size(), cipher.size());
    EXPECT_EQ(messages.back(), L"warning - incorrect length field");
    // A wrong key size fails the same way.
    Rijndael wrongSize;
    wrongSize.setCipherKeyString(L"right", 192);
    EXPECT_EQ(wrongSize.arrayDecrypt(plain, cipher, true), 1);
}

TEST(Rijndael, FileRoundTripsOfEveryLength) {
    Rijndael c;
    c.setCipherKeyString(L"files", 128);
    const fs::path in = scratch("plain.bin"), enc = scratch("cipher.bin"), out = scratch("back.bin");
    for (size_t n = 0; n <= 100; ++n) {
        const Bytes data = sequence(n, static_cast<std::uint8_t>(n));
        writeFile(in, data);
        ASSERT_EQ(c.fileEncrypt(in, enc), 0);
        EXPECT_EQ(fs::file_size(enc), (n + 16) / 16 * 16);
        ASSERT_EQ(c.fileDecrypt(out, enc), 0);
        EXPECT_EQ(readFile(out), data) << n;
    }
    fs::remove_all(in.parent_path());
}

TEST(Rijndael, OutputFilesAreTruncatedAndWrongKeysLeaveThemAlone) {
    Rijndael c;
    std::vector<std::wstring> messages;
    c.setNotify([&](const std::wstring& m) { messages.push_back(m); });
    c.setCipherKeyString(L"files", 256);
    const fs::path in = scratch("p.bin"), enc = scratch("c.bin"), out = scratch("o.bin");
    writeFile(in, sequence(10));
    writeFile(enc, Bytes(1000, 0x55));  // a longer file in the way
    ASSERT_EQ(c.fileEncrypt(in, enc), 0);
    EXPECT_EQ(fs::file_size(enc), 16u);
    writeFile(out, Bytes(500, 0x77));
    ASSERT_EQ(c.fileDecrypt(out, enc), 0);
    EXPECT_EQ(readFile(out), sequence(10));

    Rijndael wrong;
    wrong.setNotify([&](const std::wstring& m) { messages.push_back(m); });
    wrong.setCipherKeyString(L"not the key", 256);
    EXPECT_EQ(wrong.fileDecrypt(out, enc), 1);
    EXPECT_EQ(readFile(out), sequence(10));  // the earlier plaintext is still there
    EXPECT_EQ(messages.back(), L"warning - incorrect length field in decrypted file.\nWrong key or keysize?");

    writeFile(enc, Bytes(17, 1));
    EXPECT_EQ(c.fileDecrypt(out, enc), 1);
    EXPECT_EQ(messages.back(), L"File Size Error - ciphertext file not a multiple of block size");
    writeFile(enc, Bytes());
    EXPECT_EQ(c.fileDecrypt(out, enc), 1);
    EXPECT_EQ(readFile(out), sequence(10));

    EXPECT_THROW(c.fileEncrypt(scratch("missing.bin"), enc), VbError);
    fs::remove_all(in.parent_path());
}

TEST(Rijndael, LargeFilesGoInChunks) {
    Rijndael c;
    c.setCipherKeyString(L"chunks", 128);
    const fs::path in = scratch("big.bin"), enc = scratch("big.enc"), out = scratch("big.out");
    Bytes data(4'000'000);
    std::mt19937 rng(7);
    for (auto& b : data) b = static_cast<std::uint8_t>(rng());
    writeFile(in, data);
    ASSERT_EQ(c.fileEncrypt(in, enc), 0);
    EXPECT_EQ(fs::file_size(enc), 4'000'016u);
    // The file is the array framing, block for block.
    Bytes arrayCipher;
    c.arrayEncrypt(data, arrayCipher, true);
    EXPECT_EQ(readFile(enc), arrayCipher);
    ASSERT_EQ(c.fileDecrypt(out, enc), 0);
    EXPECT_EQ(readFile(out), data);
    fs::remove_all(in.parent_path());
}
