// Binary files: a compiled help file and a TrueType font (the program
// images are in content_program.cpp). They have the outline of the real
// formats (headers, tables, sections) and a mix of contents that compresses
// about as the real ones do: mostly high-entropy compressed data for the
// help file, small coordinates and flags for the font.
#include <string>
#include <string_view>
#include <vector>

#include "tools/payload/byte_writer.h"
#include "tools/payload/content.h"

namespace qv::payload {
namespace {

// ------------------------------------------------------------- help file

const char* const kHelpFolders[] = {"/html/", "/images/", "/html/calc/", "/html/data/"};
const char* const kHelpStems[] = {"topic", "intro", "menu", "dates", "cities", "people", "calc",
                                  "result", "index", "print", "settings", "about"};
const char* const kHelpExtensions[] = {".htm", ".htm", ".htm", ".gif", ".css", ".jpg"};

// A directory chunk: entry names with encoded section, offset and length.
void EmitDirectoryChunk(ByteWriter& w, Rng& rng, std::uint32_t& offset) {
    constexpr std::size_t kChunk = 4096;
    const std::size_t start = w.Size();
    w.Bytes("PMGL");
    const std::size_t freeAt = w.Size();
    w.U32(0);
    w.U32(0);
    w.U32(0xFFFFFFFF);
    w.U32(0xFFFFFFFF);
    while (w.Size() - start < kChunk - 160) {
        std::string name = rng.Pick(kHelpFolders);
        name += rng.PickSkewed(kHelpStems);
        name += std::to_string(rng.Below(400));
        name += rng.PickSkewed(kHelpExtensions);
        w.U8(static_cast<unsigned>(name.size()));
        w.Bytes(name);
        const std::uint32_t length = 200 + rng.Below(12000);
        w.U8(1);
        for (std::uint32_t v : {offset, length}) {
            if (v >= 0x4000) w.U8(0x80 | (v >> 14));
            if (v >= 0x80) w.U8(0x80 | ((v >> 7) & 0x7F));
            w.U8(v & 0x7F);
        }
        offset += length;
    }
    const std::size_t used = w.Size() - start;
    w.PutU32At(freeAt, static_cast<std::uint32_t>(kChunk - used));
    w.Fill(kChunk - used, 0);
}

// ------------------------------------------------------------- font

std::string MakeGlyph(Rng& rng) {
    ByteWriter w;
    const unsigned contours = 1 + rng.Below(3);
    unsigned points = 0;
    w.U16Be(contours);
    w.U16Be(rng.Below(80));
    w.U16Be((0x10000 - rng.Below(200)) & 0xFFFF);
    w.U16Be(400 + rng.Below(300));
    w.U16Be(500 + rng.Below(250));
    for (unsigned c = 0; c < contours; ++c) {
        points += 4 + rng.Below(18);
        w.U16Be(points - 1);
    }
    const unsigned instructions = rng.Percent(40) ? 0 : 4 + rng.Below(30);
    w.U16Be(instructions);
    const unsigned hints[] = {0xB0, 0x2C, 0x4B, 0x50, 0x58, 0xB1, 0x01, 0x8E, 0x59, 0x2F, 0x3C};
    for (unsigned i = 0; i < instructions; ++i) w.U8(rng.PickSkewed(hints));
    // Flags with repeats, then short coordinate deltas.
    const unsigned flags[] = {0x37, 0x33, 0x27, 0x01, 0x15, 0x25, 0x23, 0x07};
    for (unsigned p = 0; p < points;) {
        const unsigned flag = rng.PickSkewed(flags);
        const unsigned repeat = rng.Percent(30) ? rng.Below(4) : 0;
        w.U8(repeat ? flag | 0x08 : flag);
        if (repeat) w.U8(repeat);
        p += 1 + repeat;
    }
    for (unsigned p = 0; p < 2 * points; ++p) w.U8(rng.Percent(70) ? rng.Below(48) : rng.Byte());
    w.AlignTo(2);
    return w.Take();
}

// Letters share outlines (accented forms, upper and lower case), so many
// glyphs repeat an earlier one with a few bytes changed.
void EmitGlyph(ByteWriter& w, Rng& rng, std::vector<std::string>& earlier) {
    std::string glyph;
    if (!earlier.empty() && rng.Percent(65)) {
        glyph = earlier[rng.Below(static_cast<std::uint32_t>(earlier.size()))];
        for (int k = rng.Between(1, 6); k > 0; --k) {
            const std::uint32_t at = rng.Below(static_cast<std::uint32_t>(glyph.size()));
            glyph[at] = static_cast<char>(rng.Below(48));
        }
    } else {
        glyph = MakeGlyph(rng);
        earlier.push_back(glyph);
    }
    w.Bytes(glyph);
}

void EmitNameTable(ByteWriter& w) {
    const char* const strings[] = {"Copyright (c) Кворвель", "QuorVel", "Regular", "QuorVel Regular",
                                   "Version 2.00", "QuorVel-Regular"};
    w.U16Be(0);
    w.U16Be(6);
    w.U16Be(6 + 6 * 12);
    unsigned offset = 0;
    for (int i = 0; i < 6; ++i) {
        const unsigned length = 2 * static_cast<unsigned>(std::string_view(strings[i]).size());
        for (unsigned v : {3u, 1u, 0x409u, static_cast<unsigned>(i), length, offset}) w.U16Be(v);
        offset += length;
    }
    for (const char* s : strings) w.Utf16(s, true);
}

}  // namespace

std::string MakeHelpFile(Rng& rng, std::size_t size) {
    ByteWriter w;
    w.Bytes("ITSF");
    for (std::uint32_t v : {3u, 0x60u, 1u, 0x5E2D1A3Fu, 0x419u}) w.U32(v);
    w.Random(rng, 32);  // two class identifiers
    w.Fill(0x60 - w.Size(), 0);
    w.Bytes("ITSP");
    w.U32(1);
    w.U32(0x54);
    w.U32(10);
    w.U32(4096);
    w.U32(2);
    w.Fill(0x60 + 0x54 - w.Size(), 0xFF);
    // A directory of about one part in fifty, then compressed content with
    // a reset table every 32 KiB.
    std::uint32_t offset = 0;
    const std::size_t directoryEnd = size / 50;
    while (w.Size() < directoryEnd) EmitDirectoryChunk(w, rng, offset);
    w.Bytes("LZXC");
    for (std::uint32_t v : {2u, 2u, 2u, 1u, 0u}) w.U32(v);
    while (w.Size() < size) {
        w.Random(rng, 0x7800 + rng.Below(0x400));
        for (int i = 0; i < 8; ++i) {
            w.U32(static_cast<std::uint32_t>(w.Size()) + 0x8000u * i);
            w.U32(0);
        }
    }
    std::string bytes = w.Take();
    bytes.resize(size);
    return bytes;
}

std::string MakeFont(Rng& rng, std::size_t size) {
    // Glyphs first, to know the tables' sizes.
    ByteWriter glyf;
    std::vector<std::uint32_t> loca{0};
    const std::size_t glyphBudget = size > 6000 ? size - 6000 : size / 2;
    std::vector<std::string> outlines;
    while (glyf.Size() < glyphBudget) {
        EmitGlyph(glyf, rng, outlines);
        loca.push_back(static_cast<std::uint32_t>(glyf.Size()));
    }
    const unsigned glyphs = static_cast<unsigned>(loca.size() - 1);

    ByteWriter tables[8];  // cmap glyf head hhea hmtx loca maxp name
    const char* const tags[8] = {"cmap", "glyf", "head", "hhea", "hmtx", "loca", "maxp", "name"};
    tables[0].U16Be(0);
    tables[0].U16Be(1);
    for (unsigned v : {3u, 1u, 0u, 12u, 4u}) tables[0].U16Be(v);
    for (unsigned c = 0; c < glyphs && c < 224; ++c) tables[0].U16Be(c + 32);
    tables[1].Bytes(glyf.Take());
    tables[2].U32Be(0x00010000);
    tables[2].U32Be(0x00020000);
    tables[2].U32Be(rng.Next() & 0xFFFFFFFF);
    tables[2].U32Be(0x5F0F3CF5);
    tables[2].Bytes({0x00, 0x0B, 0x08, 0x00});
    tables[2].Fill(38, 0);
    for (unsigned v : {0x00010000u, 0x0700u, 0xFE20u, 0u, glyphs}) tables[3].U32Be(v);
    for (unsigned g = 0; g < glyphs; ++g) {
        tables[4].U16Be(400 + 10 * rng.Below(30));
        tables[4].U16Be(20 + rng.Below(60));
    }
    for (std::uint32_t offset : loca) tables[5].U32Be(offset);
    tables[6].U32Be(0x00010000);
    tables[6].U16Be(glyphs);
    tables[6].Fill(26, 0);
    EmitNameTable(tables[7]);

    ByteWriter w;
    w.U32Be(0x00010000);
    for (unsigned v : {8u, 128u, 3u, 0u}) w.U16Be(v);
    std::uint32_t offset = 12 + 16 * 8;
    for (int t = 0; t < 8; ++t) {
        w.Bytes(tags[t]);
        w.U32Be(static_cast<std::uint32_t>(rng.Next()));
        w.U32Be(offset);
        w.U32Be(static_cast<std::uint32_t>(tables[t].Size()));
        offset += (static_cast<std::uint32_t>(tables[t].Size()) + 3) & ~3u;
    }
    for (ByteWriter& table : tables) {
        w.Bytes(table.Take());
        w.AlignTo(4);
    }
    // Whatever is left to the size: a table of kerning pairs.
    while (w.Size() < size) {
        w.U16Be(rng.Below(glyphs));
        w.U16Be(rng.Below(glyphs));
        w.U16Be((0x10000 - 10 * rng.Below(8)) & 0xFFFF);
    }
    std::string bytes = w.Take();
    bytes.resize(size);
    return bytes;
}

}  // namespace qv::payload
