#include "ui/qt/panel_icons.h"

#include <QFile>

namespace korvanel::ui {
namespace {

QString ShippedPath(const QString& name) { return ":/korvanel/icons/" + name + ".svg"; }

}  // namespace

QIcon ThemeIcon(const std::string& name) {
  if (name.empty()) return {};
  const QString qname = QString::fromStdString(name);
  const QString shipped = ShippedPath(qname);
  return QIcon::fromTheme(qname, QFile::exists(shipped) ? QIcon(shipped) : QIcon());
}

QIcon ProgramIcon() { return QIcon(ShippedPath("korvanel")); }

QIcon DriveIcon(DriveKind kind) {
  switch (kind) {
    case DriveKind::kRemovable: return ThemeIcon("drive-removable-media");
    case DriveKind::kRemote: return ThemeIcon("folder-remote");
    case DriveKind::kRamDisk: return ThemeIcon("media-flash");
    case DriveKind::kFixed: break;
  }
  return ThemeIcon("drive-harddisk");
}

}  // namespace korvanel::ui
