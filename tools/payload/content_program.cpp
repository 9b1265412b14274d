// A program image: the outline of a 32-bit Windows executable (headers,
// sections) around machine code, the data a compiler keeps among it, the
// import and relocation tables, and resources (form descriptions and
// pictures), mixed so that it compresses about as a real one does.
#include <string>
#include <string_view>

#include "tools/payload/byte_writer.h"
#include "tools/payload/content.h"

namespace qv::payload {
namespace {

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

}  // namespace qv::payload
