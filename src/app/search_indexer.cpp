#include "app/search_indexer.h"

#include <QMetaObject>

#include <utility>

namespace kiv {

TSearchIndexer::TSearchIndexer(std::string nativePath, QObject* parent)
    : QObject(parent), path_(std::move(nativePath)) {}

TSearchIndexer::~TSearchIndexer() {
  cancel_ = true;
  if (worker_.joinable()) worker_.join();
}

const SearchIndex* TSearchIndexer::Current() {
  if (index_ && !index_->IsCurrent()) index_.reset();
  if (!index_) Start();
  return index_.get();
}

void TSearchIndexer::Start() {
  if (index_ && index_->IsCurrent()) return;
  if (Building()) return;
  if (worker_.joinable()) worker_.join();
  taken_ = false;
  cancel_ = false;
  worker_ = std::thread([this] {
    std::unique_ptr<SearchIndex> index;
    bool failed = false;
    try {
      index = SearchIndex::Build(path_, &cancel_);
    } catch (...) {
      failed = true;
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      built_ = std::move(index);
      builtFailed_ = failed;
    }
    // The window's thread takes it; a window gone meanwhile drops the call
    // with the object (its destructor joins this thread first).
    QMetaObject::invokeMethod(
        this, [this] { Finished(); }, Qt::QueuedConnection);
  });
}

void TSearchIndexer::TakeResult() {
  if (taken_) return;
  if (worker_.joinable()) worker_.join();
  taken_ = true;
  std::lock_guard<std::mutex> lock(mutex_);
  if (built_ || builtFailed_) {
    index_ = std::move(built_);
    failed_ = builtFailed_;
  }
}

void TSearchIndexer::Finished() {
  if (taken_) return;
  TakeResult();
  if (OnReady) OnReady();
}

const SearchIndex* TSearchIndexer::Wait() {
  if (index_ && !index_->IsCurrent()) index_.reset();
  if (!index_ && !Building()) Start();
  TakeResult();
  return index_.get();
}

}  // namespace kiv
