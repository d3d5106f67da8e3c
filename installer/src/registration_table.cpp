#include "velko/installer/browser_registration.h"

#include "velko/path_text.h"

namespace velko::installer {
namespace {

constexpr wchar_t kApplicationDescription[] =
    L"岚石浏览器是一款可高速运行网页和应用的网络浏览器。它快捷、稳定且易于使用。岚石 "
    L"浏览器内置的恶意软件和网上诱骗防护功能可让您更安全地浏览网页。";
constexpr wchar_t kApplicationName[] = L"岚石浏览器";
constexpr wchar_t kAssociatedClass[] = L"ChromiumHTM";

constexpr const wchar_t* kFileAssociations[] = {L".htm", L".html", L".shtml", L".xht", L".xhtml", L".webp"};
constexpr const wchar_t* kUrlAssociations[] = {L"ftp",  L"http", L"https", L"irc",   L"mailto",
                                               L"mms",  L"news", L"nntp",  L"sms",   L"smsto",
                                               L"tel",  L"urn",  L"webcal"};

// The strings that name the installed browser.
struct BrowserStrings {
  std::wstring icon;
  std::wstring reinstall;
  std::wstring hide_icons;
  std::wstring show_icons;
  std::wstring open;
  std::wstring open_document;
};

BrowserStrings MakeBrowserStrings(const std::wstring& dir) {
  if (dir.empty()) return {};
  const std::wstring exe = JoinPath<wchar_t>(dir, L"chrome.exe");
  const std::wstring quoted = L"\"" + exe + L"\"";
  return {exe + L",0",           quoted + L" --make-default-browser", quoted + L" --hide-icons",
          quoted + L" --show-icons", quoted,                            quoted + L" -- \"%1\""};
}

RegistryEntry Sz(RegistryRoot root, std::wstring key, std::optional<std::wstring> name, std::wstring data) {
  return {root, std::move(key), std::move(name), std::move(data)};
}

void AddStartMenuClient(std::vector<RegistryEntry>& t, const BrowserStrings& s) {
  constexpr RegistryRoot M = RegistryRoot::kLocalMachine;
  const std::wstring k = kStartMenuClientKey;
  const std::wstring caps = k + L"\\Capabilities";
  t.push_back(Sz(M, k, std::nullopt, L"Velko Browser"));
  t.push_back(Sz(M, caps, L"ApplicationDescription", kApplicationDescription));
  t.push_back(Sz(M, caps, L"ApplicationIcon", s.icon));
  t.push_back(Sz(M, caps, L"ApplicationName", kApplicationName));
  for (const wchar_t* extension : kFileAssociations) {
    t.push_back(Sz(M, caps + L"\\FileAssociations", extension, kAssociatedClass));
  }
  t.push_back(Sz(M, caps + L"\\Startmenu", L"StartMenuInternet", kApplicationName));
  for (const wchar_t* scheme : kUrlAssociations) {
    t.push_back(Sz(M, caps + L"\\URLAssociations", scheme, kAssociatedClass));
  }
  t.push_back(Sz(M, k + L"\\DefaultIcon", std::nullopt, s.icon));
  t.push_back(Sz(M, k + L"\\InstallInfo", L"ReinstallCommand", s.reinstall));
  t.push_back(Sz(M, k + L"\\InstallInfo", L"HideIconsCommand", s.hide_icons));
  t.push_back(Sz(M, k + L"\\InstallInfo", L"ShowIconsCommand", s.show_icons));
  t.push_back({M, k + L"\\InstallInfo", L"IconsVisible", std::uint32_t{1}});
  t.push_back({M, k + L"\\shell", std::nullopt, KeyOnly{}});
  t.push_back({M, k + L"\\shell\\open", std::nullopt, KeyOnly{}});
  t.push_back(Sz(M, k + L"\\shell\\open\\command", std::nullopt, s.open));
  t.push_back(Sz(M, L"SOFTWARE\\RegisteredApplications", L"Velko Browser", caps));
}

void AddDocumentClass(std::vector<RegistryEntry>& t, const BrowserStrings& s) {
  constexpr RegistryRoot C = RegistryRoot::kClassesRoot;
  const std::wstring p = kDocumentClassKey;
  t.push_back(Sz(C, p, std::nullopt, L"Chromium HTML Document"));
  t.push_back(Sz(C, p, L"AppUserModelId", L"Chromium"));
  t.push_back(Sz(C, p + L"\\Application", L"AppUserModelId", L"Chromium"));
  t.push_back(Sz(C, p + L"\\Application", L"ApplicationIcon", s.icon));
  t.push_back(Sz(C, p + L"\\Application", L"ApplicationName", L"Chromium"));
  t.push_back(Sz(C, p + L"\\Application", L"ApplicationDescription", L"Browse the web"));
  t.push_back(Sz(C, p + L"\\Application", L"ApplicationCompany", L"VELKO"));
  t.push_back(Sz(C, p + L"\\DefaultIcon", std::nullopt, s.icon));
  t.push_back({C, p + L"\\shell", std::nullopt, KeyOnly{}});
  t.push_back({C, p + L"\\shell\\open", std::nullopt, KeyOnly{}});
  t.push_back(Sz(C, p + L"\\shell\\open\\command", std::nullopt, s.open_document));
}

}  // namespace

std::vector<RegistryEntry> BuildRegistrationTable(const std::wstring& dir) {
  const BrowserStrings strings = MakeBrowserStrings(dir);
  std::vector<RegistryEntry> table;
  table.reserve(kRegistrationRowCount);
  AddStartMenuClient(table, strings);
  AddDocumentClass(table, strings);
  return table;
}

}  // namespace velko::installer
