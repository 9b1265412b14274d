#include "support/install_rig.h"

#include <sys/stat.h>

#include <memory>

#include "engine/payload_digests.h"
#include "engine/payload_entry.h"
#include "engine/szdd.h"

namespace qv::test {

const std::vector<std::string>& PayloadNames() {
    static const std::vector<std::string> names = {
        "Quorvel.exe", "Descript.txt", "DateVar.dat",   "TimeVar.dat",
        "Dates.dat",   "Dates2.dat",   "Dates3.dat",    "Dates4.dat",
        "Cityes.dat",  "Regions.dat",  "Republics.dat", "Group.txt",
        "UnInstall.exe", "QuorVel.chm", "People.dat",   "QuorVel.TTF",
    };
    return names;
}

InstallRig::InstallRig() : InstallRig(std::make_shared<TempFolder>()) {}

InstallRig::InstallRig(std::shared_ptr<TempFolder> drive)
    : root(drive->Path()), system(root, trace), sink(trace), drive_(std::move(drive)) {
    choices.destination = "C:\\Program Files\\QuorVel V2.0";
    choices.groupName = "Кворвель 2.0";
    choices.programsPath = "C:\\Menu\\Programs";
    choices.desktopPath = "C:\\Desktop";
    choices.desktopShortcut = true;
    choices.licenceText = "Лицензионное соглашение\r\n\r\nПункт 1.\r\n";
    for (const char* folder : {"C:\\Program Files", "C:\\Menu", "C:\\Menu\\Programs", "C:\\Desktop"}) {
        MakeFolder(folder);
    }
}

std::string InstallRig::PayloadData(const std::string& name, const std::string& tag) {
    std::string data;
    for (int i = 0; i < 40; ++i) data += name + " (" + tag + ") line " + std::to_string(i) + "\r\n";
    return data;
}

void InstallRig::AddPayload(const std::string& tag) {
    PayloadDigests digests;
    for (const std::string& name : PayloadNames()) {
        std::string entry;
        const std::string data = PayloadData(name, tag);
        // The real payload has stray bytes after the NUL of this name.
        const std::string_view afterNul = name == "Group.txt" ? "dat" : "";
        BuildPayloadEntry(name, CompressSzdd(data), entry, afterNul);
        system.AddEntry(entry);
        digests.Add(name, FileDigest{data.size(), Sha256Hex(data)});
    }
    system.SetDigestTable(digests.Format());
}

InstallOutcome InstallRig::Run() {
    InstallSequence sequence(choices, system, sink, gate, log);
    const InstallOutcome outcome = sequence.Run();
    report = sequence.Report();
    return outcome;
}

std::string InstallRig::InDestination(const std::string& name) const {
    return choices.destination + "\\" + name;
}

std::string InstallRig::ReadFile(const std::string& windowsPath) const {
    return ReadHostFile(Host(windowsPath));
}

bool InstallRig::FileExists(const std::string& windowsPath) const {
    return HostExists(Host(windowsPath));
}

void InstallRig::MakeFolder(const std::string& windowsPath) const {
    ::mkdir(Host(windowsPath).c_str(), 0755);
}

std::vector<std::string> InstallRig::SavedLog() const {
    const std::string text = ReadFile(InDestination("UnInstall.dat"));
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    if (start != text.size()) lines.push_back("(unterminated) " + text.substr(start));
    return lines;
}

}  // namespace qv::test
