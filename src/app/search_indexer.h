// TSearchIndexer: the help window's search index, built on a worker thread
// so that neither the first page nor typing in the search box waits for it.
// The worker reads the package through its own file and its own tokenizer
// (the tokenizer keeps no state outside its ReaderState, and the page text it
// gives builds no document), so it shares nothing with the page the viewer
// shows. An index whose package changed on disk is dropped and built again.
#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "app/search_index.h"

namespace kiv {

class TSearchIndexer : public QObject {
 public:
  // nativePath: the package file.
  TSearchIndexer(std::string nativePath, QObject* parent);
  ~TSearchIndexer() override;
  TSearchIndexer(const TSearchIndexer&) = delete;
  TSearchIndexer& operator=(const TSearchIndexer&) = delete;

  // The index when it is built for the package as it is on disk now; else
  // nullptr, and a build starts (when none runs).
  const SearchIndex* Current();
  // Starts a build unless the index is current or one runs.
  void Start();
  // The index, building it here when none is ready (waiting for a running
  // build); nullptr when the package cannot be read.
  const SearchIndex* Wait();
  bool Building() const { return worker_.joinable() && !taken_; }
  // An index is held (it may be out of date).
  bool HasIndex() const { return index_ != nullptr; }
  // The last build failed (no package, a read error).
  bool Failed() const { return failed_; }

  // Called on the window's thread when a build has finished.
  std::function<void()> OnReady;

 private:
  // Takes what the worker left, joining it.
  void TakeResult();
  void Finished();

  std::string path_;
  std::thread worker_;
  std::atomic<bool> cancel_{false};
  bool taken_ = true;  // the worker's result was taken (or no worker ran)
  std::mutex mutex_;
  std::unique_ptr<SearchIndex> built_;  // the worker's result, under mutex_
  bool builtFailed_ = false;            // under mutex_
  std::unique_ptr<SearchIndex> index_;
  bool failed_ = false;
};

}  // namespace kiv
