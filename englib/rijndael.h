#pragma once
// The Rijndael block cipher (AES, FIPS-197): 128-bit blocks, 128-, 192- or 256-bit keys, with the
// library's framing of byte arrays and files (a last block whose final byte holds the length mod 16).
// Decrypting with a wrong key is detected by that framing and reported as a failure; output files are
// built beside their target and replace it only when complete and correct.
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kelva::eng {

class Rijndael {
public:
    using Bytes = std::vector<std::uint8_t>;
    // Messages the original class showed in a message box; a host may show them, tests read them.
    using Notify = std::function<void(const std::wstring&)>;

    Rijndael();
    void setNotify(Notify n) { notify_ = std::move(n); }

    // Error 1 "cRijndael.SetCipherKey - Illegal KeyBits Value" for bits other than 128, 192, 256;
    // error 9 when `pass` holds fewer than bits/8 bytes.
    std::int32_t setCipherKey(const Bytes& pass, std::int32_t keyBits);
    // The phrase in the ANSI code page, cut or zero-padded to 32 bytes.
    std::int32_t setCipherKeyString(std::wstring_view passPhrase, std::int32_t keyBits);

    // One 16-byte block; positions outside the arrays raise 9. Source and target may coincide.
    void blockEncrypt(const Bytes& plaintext, Bytes& ciphertext, std::int32_t p, std::int32_t q) const;
    void blockDecrypt(Bytes& plaintext, const Bytes& ciphertext, std::int32_t p, std::int32_t q) const;

    std::int32_t arrayEncrypt(const Bytes& plaintext, Bytes& ciphertext, bool appendSize) const;
    // 0 success; -1 ciphertext not a multiple of 16 (nothing decrypted); 1 the length field is wrong
    // (wrong key or key size): the plaintext then holds every decrypted byte.
    std::int32_t arrayDecrypt(Bytes& plaintext, const Bytes& ciphertext, bool appendSize) const;

    std::int32_t fileEncrypt(const std::filesystem::path& plaintextFile, const std::filesystem::path& ciphertextFile) const;
    // 0 success; 1 a ciphertext of bad size or a wrong key: the plaintext file is then left untouched.
    std::int32_t fileDecrypt(const std::filesystem::path& plaintextFile, const std::filesystem::path& ciphertextFile) const;

    // Raw block operations on 16 bytes in place.
    void encryptBlock(std::uint8_t* block) const;
    void decryptBlock(std::uint8_t* block) const;

private:
    void requireKey() const;
    void say(const std::wstring& s) const {
        if (notify_) notify_(s);
    }
    // True when a decrypted last block carries a valid length field: below 16 with zeros before it.
    static bool lengthFieldValid(const std::uint8_t* lastBlock);

    std::array<std::uint8_t, 256> sbox_{}, inverseSbox_{};
    std::array<std::array<std::uint32_t, 256>, 4> forward_{}, inverse_{};
    std::array<std::uint32_t, 60> encryptKeys_{}, decryptKeys_{};
    int rounds_ = 0;
    Notify notify_;
};

}  // namespace kelva::eng
