#include "support/uninstall_logs.h"

namespace qv::test {

std::string Crlf(std::initializer_list<std::string> lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "\r\n";
    return out;
}

std::string FullLog() {
    const std::string d = kDest;
    const std::string g = kGroup;
    std::initializer_list<std::string> lines = {
        d + "=D",
        d + "\\Quorvel.exe=F", d + "\\Descript.txt=F", d + "\\DateVar.dat=F",
        d + "\\TimeVar.dat=F", d + "\\Dates.dat=F", d + "\\Dates2.dat=F",
        d + "\\Dates3.dat=F", d + "\\Dates4.dat=F", d + "\\Cityes.dat=F",
        d + "\\Regions.dat=F", d + "\\Republics.dat=F", d + "\\Group.txt=F",
        d + "\\UnInstall.exe=F", d + "\\QuorVel.chm=F", d + "\\People.dat=F",
        d + "\\QuorVel.TTF=F", d + "\\lic.txt=F",
        g + "=D", g + "\\Кворвель 2.0.lnk=F", g + "\\Справка по Кворвель 2.0.lnk=F",
        g + "\\Удалить Кворвель 2.0.lnk=F", "C:\\Desktop\\Кворвель 2.0.lnk=F",
        d + "\\Peoples.clm=F", d + "\\UnInstall.dat=F"};
    return Crlf(lines);
}

PlanContext FullContext() {
    PlanContext c;
    c.selfPath = std::string(kDest) + "\\UnInstall.exe";
    c.logPath = std::string(kDest) + "\\UnInstall.dat";
    c.protectedFolders = {"C:\\Menu\\Programs", "C:\\Desktop"};
    c.programsFolders = {"C:\\Menu\\Programs"};
    c.desktopFolders = {"C:\\Desktop"};
    c.logDigest = kReadDigest;  // the key keeps none unless a test gives it one
    return c;
}

}  // namespace qv::test
