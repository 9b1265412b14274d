#include "wizard/run_options.h"

#include "engine/command_line.h"
#include "engine/text.h"

namespace qv {
namespace {

const char kDesktopIconTask[] = "desktopicon";

std::string UnknownSwitch(const std::string& argument) {
    return "Неизвестный параметр командной строки: " + argument;
}

std::string BadValue(const std::string& argument, const std::string& why) {
    return "Неверное значение параметра командной строки " + argument + ": " + why;
}

// Applies one switch; false (with the error set) when it cannot be used.
bool Apply(const Switch& s, const std::string& argument, RunOptions& options) {
    const auto refuse = [&](const char* why) {
        options.error = BadValue(argument, why);
        return false;
    };
    const auto flag = [&](bool& target) {
        if (s.value) return refuse("у этого параметра не бывает значения.");
        target = true;
        return true;
    };
    // A switch that names a folder: refused without a value, and, unless an
    // empty one means something, with an empty one.
    const auto folder = [&](std::optional<std::string>& target, bool emptyAllowed, const char* missing) {
        if (!s.value || (!emptyAllowed && s.value->empty())) return refuse(missing);
        target = *s.value;
        return true;
    };
    bool ignored = false;
    if (s.name == "SILENT" || s.name == "VERYSILENT") {
        if (s.value) return flag(ignored);
        // The quieter of the two wins, whatever their order.
        if (s.name == "VERYSILENT" || options.mode == RunMode::Interactive) {
            options.mode = s.name == "VERYSILENT" ? RunMode::VerySilent : RunMode::Silent;
        }
        return true;
    }
    if (s.name == "SUPPRESSMSGBOXES") return flag(options.suppressBoxes);
    if (s.name == "NOCANCEL") return flag(options.noCancel);
    // Switches that deployment tools pass by habit: nothing here restarts.
    if (s.name == "NORESTART" || s.name == "SP-") return flag(ignored);
    if (s.name == "?" || s.name == "HELP") return flag(options.help);
    if (s.name == "LOG") {
        options.log = true;
        if (s.value) {
            if (s.value->empty()) return refuse("не указан файл журнала.");
            options.logFile = *s.value;
        }
        return true;
    }
    if (s.name == "DIR") return folder(options.directory, false, "не указана папка установки.");
    if (s.name == "GROUP") return folder(options.group, true, "не указана папка в меню «Пуск».");
    if (s.name == "TASKS") {
        if (!s.value) return refuse("укажите /TASKS=\"desktopicon\" или /TASKS=\"\".");
        if (s.value->empty()) {
            options.desktopIcon = false;
        } else if (EqualNoCase(*s.value, kDesktopIconTask)) {
            options.desktopIcon = true;
        } else {
            return refuse("неизвестная задача; есть только \"desktopicon\".");
        }
        return true;
    }
    options.error = UnknownSwitch(argument);
    return false;
}

}  // namespace

RunOptions ParseRunOptions(std::string_view commandLine) {
    RunOptions options;
    // Every switch is read, so that /LOG and the mode count even after a
    // bad one; the first bad one is the one named.
    std::string firstError;
    const std::vector<std::string> arguments = SplitCommandLine(commandLine);
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const std::optional<Switch> parsed = ParseSwitch(argument);
        if (!parsed) {
            options.error = UnknownSwitch(argument);
        } else {
            Apply(*parsed, argument, options);
        }
        if (firstError.empty()) firstError = options.error;
    }
    options.error = firstError;
    return options;
}

std::string RunOptionsHelp() {
    return "Программа установки Кворвель 2.0\n\n"
           "Параметры командной строки (без учёта регистра, \"/\" или \"-\"):\n\n"
           "/SILENT — установка без вопросов, видна только страница хода установки\n"
           "/VERYSILENT — установка без единого окна\n"
           "/SUPPRESSMSGBOXES — в режимах /SILENT и /VERYSILENT не показывать сообщения\n"
           "/DIR=\"папка\" — папка установки\n"
           "/GROUP=\"папка\" — папка в меню «Пуск» (по умолчанию «Кворвель 2.0»)\n"
           "/TASKS=\"desktopicon\" или /TASKS=\"\" — с ярлыком на рабочем столе или без него\n"
           "/LOG или /LOG=\"файл\" — вести журнал установки (UTF-8)\n"
           "/NOCANCEL — без кнопки «Отмена» на странице хода установки\n"
           "/NORESTART, /SP- — принимаются и ничего не меняют\n"
           "/? или /HELP — этот список\n\n"
           "Коды завершения: 0 — установлено; 1 — установка не начата (неверный параметр, нет прав "
           "администратора, уже запущена другая установка); 2 — отменено до начала установки; "
           "4 — установка завершена с ошибками; 5 — прервано во время установки.";
}

}  // namespace qv
