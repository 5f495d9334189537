#include "sidebar/downloads_popover.h"

#include "model/download_manager.h"
#include "model/localization.h"
#include "sidebar/download_row.h"
#include "widgets/accessibility.h"
#include "widgets/symbol_icons.h"

namespace zemblo {
namespace {

constexpr int kHeaderPadding = 14;
constexpr int kEmptyPadding = 28;
constexpr int kEmptySymbolPointSize = 26;
constexpr int kListSideInset = 6;
constexpr int kListBottomInset = 8;

}  // namespace

DownloadsPopover::DownloadsPopover(DownloadManager& manager)
    : Gtk::Box(Gtk::Orientation::VERTICAL, 0), manager_(manager) {
  set_name("DownloadsPopover");
  groupForScreenReaders(*this);
  set_size_request(kWidth, -1);

  title_.add_css_class("downloads-title");
  title_.set_xalign(0);
  title_.set_hexpand(true);
  clear_.add_css_class("downloads-clear");
  clear_.set_has_frame(false);
  clear_.set_focus_on_click(false);
  clear_.signal_clicked().connect([this] { manager_.clearCompleted(); });
  header_.append(title_);
  header_.append(clear_);
  for (Gtk::Widget* part : std::initializer_list<Gtk::Widget*>{&title_, &clear_}) {
    part->set_valign(Gtk::Align::CENTER);
  }
  header_.set_margin(kHeaderPadding);
  append(header_);

  tray_.set_from_icon_name(symbolIconName("tray"));
  tray_.set_pixel_size(symbolPixelSize(kEmptySymbolPointSize));
  emptyLabel_.add_css_class("downloads-empty-label");
  empty_.append(tray_);
  empty_.append(emptyLabel_);
  empty_.set_name("DownloadsEmpty");
  empty_.add_css_class("downloads-empty");
  empty_.set_margin_top(kEmptyPadding);
  empty_.set_margin_bottom(kEmptyPadding);
  append(empty_);

  rowsBox_.set_margin_start(kListSideInset);
  rowsBox_.set_margin_end(kListSideInset);
  rowsBox_.set_margin_bottom(kListBottomInset);
  scroller_.set_name("DownloadsList");
  scroller_.set_child(rowsBox_);
  nameScrollbars(scroller_, localized("Dikey kaydırma çubuğu"), localized("Yatay kaydırma çubuğu"));
  scroller_.set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
  scroller_.set_propagate_natural_height(true);
  scroller_.set_max_content_height(kMaxListHeight);
  scroller_.set_overlay_scrolling(false);
  append(scroller_);

  observer_ = std::make_unique<Observer>([this] { sync(); });
}

DownloadsPopover::~DownloadsPopover() { observer_.reset(); }

void DownloadsPopover::sync() {
  title_.set_text(localized("İndirmeler"));
  setAccessibleName(scroller_, localized("İndirmeler"));
  clear_.set_label(localized("Temizle"));
  emptyLabel_.set_text(localized("Henüz indirme yok"));
  clear_.set_visible(manager_.hasCompleted());
  const bool empty = manager_.items.get().empty();
  empty_.set_visible(empty);
  scroller_.set_visible(!empty);
  syncRows();
}

void DownloadsPopover::syncRows() {
  std::vector<Uuid> order;
  std::map<Uuid, std::unique_ptr<DownloadRow>> kept;
  for (const auto& item : manager_.items.peek()) {
    order.push_back(item->id);
    auto found = rows_.find(item->id);
    kept[item->id] =
        found != rows_.end() ? std::move(found->second) : std::make_unique<DownloadRow>(item);
  }
  if (order == order_) {
    rows_ = std::move(kept);
    return;
  }
  // Rows keep their state across a change of order; only their places change.
  for (auto& [id, row] : rows_) {
    if (row) rowsBox_.remove(*row);
  }
  for (const auto& [id, row] : kept) {
    if (row->get_parent()) rowsBox_.remove(*row);
  }
  for (const Uuid& id : order) rowsBox_.append(*kept[id]);
  rows_ = std::move(kept);
  order_ = std::move(order);
}

}  // namespace zemblo
