// TAccessibleLink: one link (or image-map area) of the page as assistive
// technology sees it: role link, its text as name, where it leads as
// description, where it is drawn, and the "press" action that follows it.
// It belongs to the page's accessible document, which lets it go when the
// page is replaced; from then on it reports itself invalid.
#pragma once

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QPointer>

namespace kiv {

class TAccessibleDocument;
class THTMLViewer;

class TAccessibleLink : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  // The child-th link of the viewer's page of documentGeneration.
  TAccessibleLink(THTMLViewer* viewer, int child, unsigned documentGeneration);

  bool isValid() const override;
  QObject* object() const override { return nullptr; }
  QWindow* window() const override;
  QAccessibleInterface* parent() const override;
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text t) const override;
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override;
  QAccessible::Role role() const override { return QAccessible::Link; }
  QAccessible::State state() const override;
  void* interface_cast(QAccessible::InterfaceType type) override;

  QStringList actionNames() const override;
  void doAction(const QString& actionName) override;
  QStringList keyBindingsForAction(const QString& actionName) const override;

  int Child() const { return child_; }

 private:
  TAccessibleDocument* Document() const;
  // The link's stop in the viewer's list, -1 when the page is gone.
  int Stop() const;

  QPointer<QWidget> viewer_;
  int child_;
  unsigned generation_;
};

}  // namespace kiv
