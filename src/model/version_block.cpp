#include "model/version_block.h"

namespace veltrix {

namespace {

// Reads the block front to back; the first read past the end fails this and every
// later read.
class Cursor {
  public:
    explicit Cursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool Failed() const { return failed_; }
    bool AtEnd() const { return at_ == bytes_.size(); }

    std::span<const std::uint8_t> Take(std::size_t n) {
        if (failed_ || n > bytes_.size() - at_) {
            failed_ = true;
            return {};
        }
        const auto taken = bytes_.subspan(at_, n);
        at_ += n;
        return taken;
    }
    std::uint16_t U16() {
        const auto b = Take(2);
        return b.empty() ? 0 : static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    }
    std::uint32_t U32() {
        const std::uint32_t low = U16();
        return low | (std::uint32_t{U16()} << 16);
    }
    std::string Text() {
        const auto b = Take(U16());
        return std::string(b.begin(), b.end());
    }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
    bool failed_ = false;
};

FixedFileInfo ReadFixed(Cursor& in) {
    FixedFileInfo f;
    for (std::uint32_t* word :
         {&f.signature, &f.structureVersion, &f.fileVersionMS, &f.fileVersionLS,
          &f.productVersionMS, &f.productVersionLS, &f.fileFlagsMask, &f.fileFlags, &f.fileOS,
          &f.fileType, &f.fileSubtype, &f.fileDateMS, &f.fileDateLS}) {
        *word = in.U32();
    }
    return f;
}

Translation ReadTranslation(Cursor& in) {
    Translation t;
    t.language = in.U16();
    t.codePage = in.U16();
    return t;
}

}  // namespace

std::vector<std::uint8_t> EncodeVersionBlock(const VersionSpec& spec) {
    struct Appender {
        std::vector<std::uint8_t> bytes;
        void U8(std::uint8_t value) { bytes.push_back(value); }
    } appender;
    WriteVersionBlock(spec, appender);
    return std::move(appender.bytes);
}

std::optional<VersionBlock> DecodeVersionBlock(std::span<const std::uint8_t> bytes) {
    Cursor in(bytes);
    const auto magic = in.Take(kVersionBlockMagic.size());
    if (in.Failed() || !std::equal(magic.begin(), magic.end(), kVersionBlockMagic.begin()) ||
        in.U16() != kVersionBlockFormat) {
        return std::nullopt;
    }
    VersionBlock block;
    const std::uint16_t fixedSize = in.U16();
    if (fixedSize == FixedFileInfo::kSize) {
        block.fixed = ReadFixed(in);
    } else {
        in.Take(fixedSize);  // a block of another size is not ours to read
    }
    // Each entry takes at least one byte, so a count larger than what is left fails
    // at its first missing entry, before much is kept.
    for (std::uint16_t n = in.U16(); n > 0 && !in.Failed(); --n) {
        block.translations.push_back(ReadTranslation(in));
    }
    for (std::uint16_t n = in.U16(); n > 0 && !in.Failed(); --n) {
        VersionBlock::Table table;
        table.translation = ReadTranslation(in);
        for (std::uint16_t m = in.U16(); m > 0 && !in.Failed(); --m) {
            std::string name = in.Text();
            std::string value = in.Text();
            table.strings.emplace_back(std::move(name), std::move(value));
        }
        block.tables.push_back(std::move(table));
    }
    if (in.Failed() || !in.AtEnd()) {
        return std::nullopt;
    }
    return block;
}

}  // namespace veltrix
