// Binary files: a program image, a compiled help file, a TrueType font.
// They have the outline of the real formats (headers, tables, sections)
// and a mix of contents that compresses about as the real ones do:
// machine code and tables for a program, mostly high-entropy compressed
// data for the help file, small coordinates and flags for the font.
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "tools/payload/content.h"

namespace qv::payload {
namespace {

class ByteWriter {
public:
    std::size_t Size() const { return b_.size(); }
    std::string Take() { return std::move(b_); }

    void U8(unsigned v) { b_.push_back(static_cast<char>(v & 0xFF)); }
    void U16(unsigned v) {
        U8(v);
        U8(v >> 8);
    }
    void U32(std::uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void U16Be(unsigned v) {
        U8(v >> 8);
        U8(v);
    }
    void U32Be(std::uint32_t v) {
        U16Be(v >> 16);
        U16Be(v & 0xFFFF);
    }
    void Bytes(std::string_view s) { b_.append(s); }
    void Bytes(std::initializer_list<unsigned> bytes) {
        for (unsigned v : bytes) U8(v);
    }
    void Fill(std::size_t n, unsigned v) { b_.append(n, static_cast<char>(v)); }
    void AlignTo(std::size_t alignment, unsigned fill = 0) {
        while (b_.size() % alignment) U8(fill);
    }
    void Random(Rng& rng, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) U8(rng.Byte());
    }
    void PutU32At(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b_[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    // Code page 1251 text as UTF-16LE (Latin and Cyrillic letters).
    void Utf16(std::string_view text, bool bigEndian = false) {
        for (char c : text) {
            const unsigned u = static_cast<unsigned char>(c);
            const unsigned w = u >= 0xC0 ? 0x0410 + (u - 0xC0) : u;
            bigEndian ? U16Be(w) : U16(w);
        }
    }

private:
    std::string b_;
};

// ------------------------------------------------------------- program

const char* const kImports[] = {
    "GetProcAddress", "LoadLibraryA",   "GetModuleHandleA", "ExitProcess",    "CreateFileA",
    "ReadFile",       "WriteFile",      "CloseHandle",      "GetFileSize",    "SetFilePointer",
    "GlobalAlloc",    "GlobalFree",     "LocalAlloc",       "LocalFree",      "VirtualAlloc",
    "VirtualFree",    "GetLastError",   "Sleep",            "GetTickCount",   "lstrlenA",
    "MessageBoxA",    "CreateWindowExA", "DefWindowProcA",  "SendMessageA",   "PostMessageA",
    "GetMessageA",    "DispatchMessageA", "TranslateMessage", "ShowWindow",   "UpdateWindow",
    "LoadIconA",      "LoadCursorA",    "SetWindowTextA",   "GetWindowTextA", "GetDC",
    "ReleaseDC",      "BeginPaint",     "EndPaint",         "SelectObject",   "DeleteObject",
    "CreateFontA",    "TextOutA",       "BitBlt",           "CreateCompatibleDC", "RegOpenKeyExA",
    "RegQueryValueExA", "RegCloseKey",  "SetTimer",         "KillTimer",      "InvalidateRect",
};
const char* const kClassNames[] = {"TForm",  "TButton", "TLabel",  "TEdit",    "TMemo",   "TPanel",
                                   "TImage", "TTimer",  "TListBox", "TComboBox", "TCheckBox",
                                   "TMainMenu", "TMenuItem", "TStringList", "TApplication"};
const char* const kProperties[] = {"Caption", "Left",    "Top",     "Width",    "Height",  "Font.Name",
                                   "Font.Height", "Color", "OnClick", "OnCreate", "TabOrder", "Visible",
                                   "Enabled", "Text",    "Items.Strings", "ParentFont"};
const char* const kUiTexts[] = {"Файл", "Правка", "Вид", "Справка", "Открыть", "Сохранить",
                                "Печать", "Выход", "О программе", "Настройки", "Отмена", "Готово",
                                "Дата рождения", "Место рождения", "Время", "Город", "Рассчитать"};

const unsigned kColours[] = {0x00, 0xFF, 0x07, 0xF8, 0x10, 0x80, 0x3C, 0x55, 0xA4, 0x1F, 0xC0, 0x66};

constexpr std::uint32_t kImageBase = 0x00400000;
constexpr std::uint32_t kCodeRva = 0x1000;

// A function as a compiler of the time would emit it: prologue, a body
// of common instructions, epilogue, alignment.
void EmitFunction(ByteWriter& w, Rng& rng, std::uint32_t codeSize) {
    const unsigned regs[] = {0x45, 0x4D, 0x55, 0x5D, 0x75, 0x7D};
    const unsigned frame[] = {0xFC, 0xF8, 0xF4, 0xF0, 0xEC, 0x08, 0x0C, 0x10};
    w.Bytes({0x55, 0x8B, 0xEC});
    if (rng.Percent(60)) w.Bytes({0x83, 0xC4, 0xF0u + 4 * rng.Below(4)});
    const bool saves = rng.Percent(50);
    if (saves) w.Bytes({0x53, 0x56, 0x57});
    const int count = rng.Between(4, 40);
    for (int i = 0; i < count; ++i) {
        switch (rng.Below(14)) {
        case 0: w.Bytes({0x8B, rng.PickSkewed(regs), rng.PickSkewed(frame)}); break;
        case 1: w.Bytes({0x89, rng.PickSkewed(regs), rng.PickSkewed(frame)}); break;
        case 2: {
            const std::uint32_t target = kCodeRva + rng.Below(codeSize);
            const std::uint32_t here = kCodeRva + static_cast<std::uint32_t>(w.Size()) + 5;
            w.U8(0xE8);
            w.U32(target - here);
            break;
        }
        case 3:
            w.Bytes({0xFF, 0x15});
            w.U32(kImageBase + 0x5000 + 4 * rng.PickSkewed(frame));
            break;
        case 4: w.Bytes({0x6A, rng.Percent(70) ? 0u : rng.Below(3)}); break;
        case 5: w.Bytes({0x85, 0xC0, rng.Percent(50) ? 0x74u : 0x75u, 4 + rng.Below(40)}); break;
        case 6: w.Bytes({0x33, rng.Percent(60) ? 0xC0u : 0xD2u}); break;
        case 7: w.Bytes({0x8B, 0xC3}); break;
        case 8: w.Bytes({0x8D, rng.PickSkewed(regs), rng.PickSkewed(frame)}); break;
        case 9:
            w.U8(0xB8);
            w.U32(kImageBase + kCodeRva + (rng.Below(codeSize) & ~3u));
            break;
        case 10: w.Bytes({0x8B, 0x40, 4 * rng.Below(16)}); break;
        case 11: w.Bytes({0x83, 0xF8, rng.Below(8)}); break;
        case 12: w.Bytes({0xB2, 0x01}); break;
        default: w.Bytes({0x8B, 0xF0 | rng.Below(8)}); break;
        }
    }
    if (saves) w.Bytes({0x5F, 0x5E, 0x5B});
    w.Bytes({0x8B, 0xE5, 0x5D, 0xC3});
    w.AlignTo(4, 0x90);
}

// Data a compiler keeps among the code: class names with their tables,
// string literals with their length.
void EmitCodeData(ByteWriter& w, Rng& rng) {
    if (rng.Percent(50)) {
        const std::string_view name = rng.Pick(kClassNames);
        w.U8(static_cast<unsigned>(name.size()));
        w.Bytes(name);
        w.AlignTo(4);
        for (int i = rng.Between(2, 12); i > 0; --i) w.U32(kImageBase + kCodeRva + 16 * rng.Below(0x8000));
    } else {
        const std::string_view text = rng.Pick(kUiTexts);
        w.U32(0xFFFFFFFF);
        w.U32(static_cast<std::uint32_t>(text.size()));
        w.Bytes(text);
        w.U8(0);
        w.AlignTo(4);
    }
}

void EmitImports(ByteWriter& w, Rng& rng) {
    for (std::string_view name : kImports) {
        w.U16(rng.Below(0x300));
        w.Bytes(name);
        w.U8(0);
        w.AlignTo(2);
    }
}

void EmitRelocations(ByteWriter& w, Rng& rng, std::size_t end) {
    for (std::uint32_t page = kCodeRva; w.Size() + 8 < end; page += 0x1000) {
        const unsigned count = 40 + rng.Below(80);
        w.U32(page);
        w.U32(8 + 2 * count);
        unsigned offset = 0;
        for (unsigned i = 0; i < count; ++i) {
            offset = (offset + 4 + rng.Below(60)) & 0xFFF;
            w.U16(0x3000 | offset);
        }
    }
}

// Resources: form descriptions (property names and values) and pictures.
void EmitResources(ByteWriter& w, Rng& rng, std::size_t end, unsigned packedPercent) {
    while (w.Size() < end) {
        if (rng.Percent(packedPercent)) {
            // A compressed picture (JPEG data): no redundancy left.
            w.Bytes({0xFF, 0xD8, 0xFF, 0xE0});
            w.Random(rng, 1024 + rng.Below(8192));
            w.Bytes({0xFF, 0xD9});
        } else if (rng.Percent(60)) {
            w.Bytes("TPF0");
            for (int i = rng.Between(5, 40); i > 0; --i) {
                const std::string_view property = rng.PickSkewed(kProperties);
                w.U8(static_cast<unsigned>(property.size()));
                w.Bytes(property);
                w.Bytes({0x02, rng.Below(256), rng.Below(4)});
            }
            w.Bytes({0, 0});
        } else {
            // A palette picture: a header, a palette, rows of runs.
            const unsigned width = 16u << rng.Below(3);
            w.U32(40);
            w.U32(width);
            w.U32(width);
            w.Bytes({1, 0, 8, 0});
            w.Fill(24, 0);
            for (int c = 0; c < 256; ++c) w.U32(static_cast<std::uint32_t>(c * 0x010101) & 0xFFFFFF);
            for (unsigned y = 0; y < width; ++y) {
                for (unsigned x = 0; x < width;) {
                    const unsigned run = 1 + rng.Below(12);
                    const unsigned colour = rng.PickSkewed(kColours);
                    for (unsigned k = 0; k < run && x < width; ++k, ++x) w.U8(colour);
                }
            }
        }
    }
}

void EmitHeaders(ByteWriter& w, Rng& rng, const std::uint32_t (&sectionSizes)[5]) {
    // DOS header and stub.
    w.Bytes({0x4D, 0x5A, 0x50, 0x00, 0x02, 0x00, 0x00, 0x00, 0x04, 0x00, 0x0F, 0x00, 0xFF, 0xFF});
    w.Fill(0x3C - w.Size(), 0);
    w.U32(0x100);
    w.Bytes({0xBA, 0x10, 0x00, 0x0E, 0x1F, 0xB4, 0x09, 0xCD, 0x21, 0xB8, 0x01, 0x4C, 0xCD, 0x21, 0x90, 0x90});
    w.Bytes("This program must be run under Win32\r\n$");
    w.Fill(0x100 - w.Size(), 0);
    // PE header: i386, five sections, an optional header of 0xE0 bytes.
    w.Bytes("PE");
    w.Bytes({0, 0, 0x4C, 0x01, 5, 0});
    w.U32(0x2A425E19);
    w.Fill(8, 0);
    w.Bytes({0xE0, 0x00, 0x8E, 0x81});
    w.Bytes({0x0B, 0x01, 2, 25});
    w.U32(sectionSizes[0]);
    w.U32(sectionSizes[1] + sectionSizes[4]);
    w.U32(0);
    w.U32(kCodeRva + rng.Below(sectionSizes[0]));
    w.U32(kCodeRva);
    w.U32(kCodeRva + sectionSizes[0]);
    w.U32(kImageBase);
    w.U32(0x1000);
    w.U32(0x200);
    w.Bytes({4, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0});
    w.Fill(0x100 + 24 + 0xE0 - w.Size(), 0);
    const char* const names[] = {"CODE", "DATA", ".idata", ".reloc", ".rsrc"};
    std::uint32_t raw = 0x400;
    std::uint32_t rva = kCodeRva;
    for (int i = 0; i < 5; ++i) {
        const std::string_view name = names[i];
        w.Bytes(name);
        w.Fill(8 - name.size(), 0);
        w.U32(sectionSizes[i]);
        w.U32(rva);
        w.U32(sectionSizes[i]);
        w.U32(raw);
        w.Fill(12, 0);
        w.U32(i == 0 ? 0x60000020 : 0xC0000040);
        raw += sectionSizes[i];
        rva += (sectionSizes[i] + 0xFFF) & ~0xFFFu;
    }
    w.Fill(0x400 - w.Size(), 0);
}

}  // namespace

namespace {

std::string MakeProgramImage(Rng& rng, std::size_t size, unsigned packedPercent) {
    // Shares of the image: code, data, imports, relocations, resources.
    const std::uint32_t total = static_cast<std::uint32_t>(size > 0x400 ? size - 0x400 : 0);
    const std::uint32_t code = total / 100 * 58 & ~0x1FFu;
    const std::uint32_t data = total / 100 * 8 & ~0x1FFu;
    const std::uint32_t imports = total / 100 & ~0x1FFu;
    const std::uint32_t relocs = total / 100 * 6 & ~0x1FFu;
    const std::uint32_t sizes[5] = {code, data, imports, relocs, total - code - data - imports - relocs};

    ByteWriter w;
    EmitHeaders(w, rng, sizes);
    std::size_t end = w.Size() + code;
    while (w.Size() < end) {
        EmitFunction(w, rng, code);
        if (rng.Percent(15)) EmitCodeData(w, rng);
    }
    std::string image = w.Take();
    image.resize(end, '\0');

    ByteWriter rest;
    for (std::size_t target = data; rest.Size() < target;) {
        if (rng.Percent(30)) rest.Fill(rng.Below(64), 0);
        EmitCodeData(rest, rng);
    }
    std::string section = rest.Take();
    section.resize(data, '\0');
    image += section;

    ByteWriter tables;
    while (tables.Size() < imports) EmitImports(tables, rng);
    section = tables.Take();
    section.resize(imports, '\0');
    image += section;

    ByteWriter relocations;
    EmitRelocations(relocations, rng, relocs);
    section = relocations.Take();
    section.resize(relocs, '\0');
    image += section;

    ByteWriter resources;
    EmitResources(resources, rng, sizes[4], packedPercent);
    section = resources.Take();
    section.resize(sizes[4], '\0');
    image += section;
    image.resize(size, '\0');
    return image;
}

}  // namespace

std::string MakeProgram(Rng& rng, std::size_t size) { return MakeProgramImage(rng, size, 3); }

std::string MakeUninstaller(Rng& rng, std::size_t size) { return MakeProgramImage(rng, size, 20); }

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
