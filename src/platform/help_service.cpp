#include "platform/help_service.h"

#include <QDesktopServices>
#include <QUrl>

#include "model/prompt.h"
#include "platform/qt_text.h"
#include "text/paths.h"

namespace quarn {

QtHelpService::QtHelpService(Prompt& prompt, std::string help_folder, Opener opener)
    : prompt_(prompt), help_folder_(std::move(help_folder)), opener_(std::move(opener)) {
  if (!opener_) opener_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

void QtHelpService::ShowHelp(const std::string& help_file, const std::string& keyword) {
  const auto path = FindFileAnyCase(help_folder_, help_file);
  if (!path) {
    prompt_.Message(
        "No help file is installed.  The help for this window would be in " + help_file + ".",
        "Help", MessageIcon::Information);
    return;
  }
  QUrl url = QUrl::fromLocalFile(ToQt(*path));
  // An HTML help file has an anchor for every keyword.
  if (!keyword.empty()) url.setFragment(ToQt(keyword));
  if (!opener_(url)) {
    prompt_.Message("The help file " + help_file + " could not be opened.", "Help",
                    MessageIcon::Exclamation);
  }
}

}  // namespace quarn
