#include "rijndael.h"

#include <algorithm>
#include <cstring>

#include "core/errors.h"
#include "core/textcodec.h"
#include "englib/file_io.h"

namespace kelva::eng {

namespace {
constexpr size_t kChunk = 4'000'000;  // 250,000 blocks per read

std::uint8_t xtime(std::uint8_t a) { return static_cast<std::uint8_t>((a << 1) ^ ((a & 0x80) ? 0x1B : 0)); }
std::uint8_t gmul(std::uint8_t a, std::uint8_t b) {
    std::uint8_t r = 0;
    while (b) {
        if (b & 1) r ^= a;
        a = xtime(a);
        b >>= 1;
    }
    return r;
}
std::uint32_t rotr8(std::uint32_t w) { return (w >> 8) | (w << 24); }
std::uint32_t load(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}
void store(std::uint8_t* p, std::uint32_t w) {
    p[0] = static_cast<std::uint8_t>(w >> 24);
    p[1] = static_cast<std::uint8_t>(w >> 16);
    p[2] = static_cast<std::uint8_t>(w >> 8);
    p[3] = static_cast<std::uint8_t>(w);
}
std::uint8_t byteOf(std::uint32_t w, int i) { return static_cast<std::uint8_t>(w >> (24 - 8 * i)); }

[[noreturn]] void raiseOne(const wchar_t* description) { throw VbError(1, description); }

size_t framedLength(size_t n) { return (n + 16) / 16 * 16; }
}  // namespace

Rijndael::Rijndael() {
    // Powers of the generator 3 walk the whole multiplicative group; logarithms give the inverses.
    std::array<std::uint8_t, 256> pow{}, log{};
    std::uint8_t x = 1;
    for (int i = 0; i < 255; ++i) {
        pow[i] = x;
        log[x] = static_cast<std::uint8_t>(i);
        x = static_cast<std::uint8_t>(x ^ xtime(x));
    }
    for (int i = 0; i < 256; ++i) {
        std::uint8_t inv = i == 0 ? 0 : pow[(255 - log[i]) % 255];
        std::uint8_t s = inv;
        for (int k = 1; k <= 4; ++k) s ^= static_cast<std::uint8_t>((inv << k) | (inv >> (8 - k)));
        s ^= 0x63;
        sbox_[i] = s;
        inverseSbox_[s] = static_cast<std::uint8_t>(i);
    }
    for (int i = 0; i < 256; ++i) {
        const std::uint8_t s = sbox_[i];
        const std::uint32_t f = (std::uint32_t{gmul(s, 2)} << 24) | (std::uint32_t{s} << 16) | (std::uint32_t{s} << 8) | gmul(s, 3);
        const std::uint8_t v = inverseSbox_[i];
        const std::uint32_t r = (std::uint32_t{gmul(v, 14)} << 24) | (std::uint32_t{gmul(v, 9)} << 16) |
                                (std::uint32_t{gmul(v, 13)} << 8) | gmul(v, 11);
        for (int t = 0; t < 4; ++t) {
            forward_[t][i] = t == 0 ? f : rotr8(forward_[t - 1][i]);
            inverse_[t][i] = t == 0 ? r : rotr8(inverse_[t - 1][i]);
        }
    }
}

std::int32_t Rijndael::setCipherKey(const Bytes& pass, std::int32_t keyBits) {
    if (keyBits != 128 && keyBits != 192 && keyBits != 256) raiseOne(L"cRijndael.SetCipherKey - Illegal KeyBits Value");
    const int nk = keyBits / 32;
    if (pass.size() < static_cast<size_t>(nk * 4)) raise(err::SubscriptOutOfRange);
    rounds_ = nk + 6;
    const int total = 4 * (rounds_ + 1);
    for (int i = 0; i < nk; ++i) encryptKeys_[i] = load(&pass[static_cast<size_t>(4 * i)]);
    std::uint8_t rcon = 1;
    for (int i = nk; i < total; ++i) {
        std::uint32_t t = encryptKeys_[i - 1];
        if (i % nk == 0) {
            t = (std::uint32_t{sbox_[byteOf(t, 1)]} << 24) | (std::uint32_t{sbox_[byteOf(t, 2)]} << 16) |
                (std::uint32_t{sbox_[byteOf(t, 3)]} << 8) | sbox_[byteOf(t, 0)];
            t ^= std::uint32_t{rcon} << 24;
            rcon = xtime(rcon);
        } else if (nk > 6 && i % nk == 4) {
            t = (std::uint32_t{sbox_[byteOf(t, 0)]} << 24) | (std::uint32_t{sbox_[byteOf(t, 1)]} << 16) |
                (std::uint32_t{sbox_[byteOf(t, 2)]} << 8) | sbox_[byteOf(t, 3)];
        }
        encryptKeys_[i] = encryptKeys_[i - nk] ^ t;
    }
    // Equivalent inverse cipher: round keys in reverse order, the inner ones through InvMixColumns.
    for (int r = 0; r <= rounds_; ++r)
        for (int c = 0; c < 4; ++c) {
            std::uint32_t w = encryptKeys_[4 * (rounds_ - r) + c];
            if (r > 0 && r < rounds_)
                w = inverse_[0][sbox_[byteOf(w, 0)]] ^ inverse_[1][sbox_[byteOf(w, 1)]] ^
                    inverse_[2][sbox_[byteOf(w, 2)]] ^ inverse_[3][sbox_[byteOf(w, 3)]];
            decryptKeys_[4 * r + c] = w;
        }
    return 0;
}

std::int32_t Rijndael::setCipherKeyString(std::wstring_view passPhrase, std::int32_t keyBits) {
    const std::string ansi = encodeLenient(Codec::Cp949, passPhrase);
    Bytes key(32, 0);
    std::copy_n(ansi.begin(), std::min<size_t>(ansi.size(), 32), key.begin());
    return setCipherKey(key, keyBits);
}

void Rijndael::requireKey() const {
    if (rounds_ == 0) raiseOne(L"cRijndael - SetCipherKey must be called first");
}

void Rijndael::encryptBlock(std::uint8_t* b) const {
    requireKey();
    std::uint32_t s[4], t[4];
    for (int c = 0; c < 4; ++c) s[c] = load(b + 4 * c) ^ encryptKeys_[c];
    for (int r = 1; r < rounds_; ++r) {
        for (int c = 0; c < 4; ++c)
            t[c] = forward_[0][byteOf(s[c], 0)] ^ forward_[1][byteOf(s[(c + 1) % 4], 1)] ^
                   forward_[2][byteOf(s[(c + 2) % 4], 2)] ^ forward_[3][byteOf(s[(c + 3) % 4], 3)] ^ encryptKeys_[4 * r + c];
        std::copy_n(t, 4, s);
    }
    for (int c = 0; c < 4; ++c) {
        const std::uint32_t w = (std::uint32_t{sbox_[byteOf(s[c], 0)]} << 24) | (std::uint32_t{sbox_[byteOf(s[(c + 1) % 4], 1)]} << 16) |
                                (std::uint32_t{sbox_[byteOf(s[(c + 2) % 4], 2)]} << 8) | sbox_[byteOf(s[(c + 3) % 4], 3)];
        store(b + 4 * c, w ^ encryptKeys_[4 * rounds_ + c]);
    }
}

void Rijndael::decryptBlock(std::uint8_t* b) const {
    requireKey();
    std::uint32_t s[4], t[4];
    for (int c = 0; c < 4; ++c) s[c] = load(b + 4 * c) ^ decryptKeys_[c];
    for (int r = 1; r < rounds_; ++r) {
        for (int c = 0; c < 4; ++c)
            t[c] = inverse_[0][byteOf(s[c], 0)] ^ inverse_[1][byteOf(s[(c + 3) % 4], 1)] ^
                   inverse_[2][byteOf(s[(c + 2) % 4], 2)] ^ inverse_[3][byteOf(s[(c + 1) % 4], 3)] ^ decryptKeys_[4 * r + c];
        std::copy_n(t, 4, s);
    }
    for (int c = 0; c < 4; ++c) {
        const std::uint32_t w = (std::uint32_t{inverseSbox_[byteOf(s[c], 0)]} << 24) |
                                (std::uint32_t{inverseSbox_[byteOf(s[(c + 3) % 4], 1)]} << 16) |
                                (std::uint32_t{inverseSbox_[byteOf(s[(c + 2) % 4], 2)]} << 8) | inverseSbox_[byteOf(s[(c + 1) % 4], 3)];
        store(b + 4 * c, w ^ decryptKeys_[4 * rounds_ + c]);
    }
}

namespace {
void requireBlock(size_t size, std::int32_t at) {
    if (at < 0 || static_cast<size_t>(at) + 16 > size) raise(err::SubscriptOutOfRange);
}
}  // namespace

void Rijndael::blockEncrypt(const Bytes& plaintext, Bytes& ciphertext, std::int32_t p, std::int32_t q) const {
    requireBlock(plaintext.size(), p);
    requireBlock(ciphertext.size(), q);
    std::uint8_t block[16];
    std::memcpy(block, plaintext.data() + p, 16);
    encryptBlock(block);
    std::memcpy(ciphertext.data() + q, block, 16);
}

void Rijndael::blockDecrypt(Bytes& plaintext, const Bytes& ciphertext, std::int32_t p, std::int32_t q) const {
    requireBlock(ciphertext.size(), q);
    requireBlock(plaintext.size(), p);
    std::uint8_t block[16];
    std::memcpy(block, ciphertext.data() + q, 16);
    decryptBlock(block);
    std::memcpy(plaintext.data() + p, block, 16);
}

bool Rijndael::lengthFieldValid(const std::uint8_t* last) {
    const std::uint8_t b = last[15];
    if (b >= 16) return false;
    for (int i = b; i < 15; ++i)
        if (last[i] != 0) return false;
    return true;
}

std::int32_t Rijndael::arrayEncrypt(const Bytes& plaintext, Bytes& ciphertext, bool appendSize) const {
    requireKey();
    const size_t n = plaintext.size();
    const size_t out = appendSize ? framedLength(n) : (n + 15) / 16 * 16;
    Bytes buffer(out, 0);
    std::copy(plaintext.begin(), plaintext.end(), buffer.begin());
    if (appendSize) buffer[out - 1] = static_cast<std::uint8_t>(n % 16);
    for (size_t i = 0; i < out; i += 16) encryptBlock(buffer.data() + i);
    ciphertext = std::move(buffer);
    return 0;
}

std::int32_t Rijndael::arrayDecrypt(Bytes& plaintext, const Bytes& ciphertext, bool appendSize) const {
    requireKey();
    if (ciphertext.size() % 16 != 0) {
        say(L"ciphertext size not a multiple of block size");
        return -1;
    }
    Bytes buffer = ciphertext;
    for (size_t i = 0; i < buffer.size(); i += 16) decryptBlock(buffer.data() + i);
    if (appendSize && !buffer.empty()) {
        if (!lengthFieldValid(buffer.data() + buffer.size() - 16)) {
            say(L"warning - incorrect length field");
            plaintext = std::move(buffer);
            return 1;
        }
        buffer.resize(buffer.size() - 16 + buffer.back());
    }
    plaintext = std::move(buffer);
    return 0;
}

std::int32_t Rijndael::fileEncrypt(const std::filesystem::path& plaintextFile, const std::filesystem::path& ciphertextFile) const {
    requireKey();
    InputFile in(plaintextFile);
    const std::uint64_t n = in.size();
    OutputFile out;
    out.open(ciphertextFile);
    std::uint64_t remaining = framedLength(static_cast<size_t>(n));
    std::uint64_t unread = n;
    Bytes buffer;
    while (remaining > kChunk) {
        buffer.assign(kChunk, 0);
        in.read(buffer.data(), kChunk);
        for (size_t i = 0; i < kChunk; i += 16) encryptBlock(buffer.data() + i);
        out.write(buffer.data(), kChunk);
        remaining -= kChunk;
        unread -= kChunk;
    }
    buffer.assign(static_cast<size_t>(remaining), 0);
    in.read(buffer.data(), static_cast<size_t>(unread));
    buffer.back() = static_cast<std::uint8_t>(n % 16);
    for (size_t i = 0; i < buffer.size(); i += 16) encryptBlock(buffer.data() + i);
    out.write(buffer.data(), buffer.size());
    out.commit();
    return 0;
}

std::int32_t Rijndael::fileDecrypt(const std::filesystem::path& plaintextFile, const std::filesystem::path& ciphertextFile) const {
    requireKey();
    InputFile in(ciphertextFile);
    const std::uint64_t n = in.size();
    if (n == 0 || n % 16 != 0) {
        say(L"File Size Error - ciphertext file not a multiple of block size");
        return 1;
    }
    OutputFile out;
    out.open(plaintextFile);
    std::uint64_t remaining = n;
    Bytes buffer;
    while (remaining > kChunk) {
        buffer.assign(kChunk, 0);
        in.read(buffer.data(), kChunk);
        for (size_t i = 0; i < kChunk; i += 16) decryptBlock(buffer.data() + i);
        out.write(buffer.data(), kChunk);
        remaining -= kChunk;
    }
    buffer.assign(static_cast<size_t>(remaining), 0);
    in.read(buffer.data(), buffer.size());
    for (size_t i = 0; i < buffer.size(); i += 16) decryptBlock(buffer.data() + i);
    if (!lengthFieldValid(buffer.data() + buffer.size() - 16)) {
        say(L"warning - incorrect length field in decrypted file.\nWrong key or keysize?");
        out.abandon();
        return 1;
    }
    out.write(buffer.data(), buffer.size() - 16 + buffer.back());
    out.commit();
    return 0;
}

}  // namespace kelva::eng
