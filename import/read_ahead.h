// The read-ahead thread: while the loader scans one block of a plain file,
// the next block is read from disk by this worker.
//
// The thread owns the open file, the count of bytes still to read and one
// read-ahead buffer, all guarded by one lock; a manual-reset event wakes it.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/event.h"

namespace quilor {

constexpr size_t kReadAheadBlockSize = 65536;

class TThreadDeLectureDisque {
 public:
  TThreadDeLectureDisque();
  ~TThreadDeLectureDisque();  // stops the thread and closes the file
  TThreadDeLectureDisque(const TThreadDeLectureDisque&) = delete;
  TThreadDeLectureDisque& operator=(const TThreadDeLectureDisque&) = delete;

  // Starts the worker; false when it could not be started.
  bool Start();
  // Tells the worker to end, wakes it and waits for it.
  void Stop();
  // The worker runs and has not been told to end.
  bool Running() const { return started_ && !terminate_.load(); }

  // Opens a regular file read-only (closing one still open), under the lock.
  // blockSize (1..65,536) is the size of the blocks the loader takes.
  bool OpenReadAheadFile(const char* name, int64_t& size, size_t blockSize = kReadAheadBlockSize);
  // Closes the file when one is open, under the lock.
  void CloseReadAheadFile();
  // Loader side: the next block of length bytes into destination, the
  // read-ahead one when it is ready, else read directly. On success the
  // worker is woken to read the following block. False on a read error or
  // when no file is open.
  bool TakeBlockFromThread(unsigned char* destination, size_t length);

  // For tests: blocks read ahead by the worker since the last open.
  int BlocksReadAhead() const;
  bool FileOpen() const;

 private:
  void Execute();
  bool ReadAheadBlock();                                          // under the lock
  bool TakeTextBlock(unsigned char* destination, size_t length);  // under the lock
  void CloseLocked();
  bool ReadFully(unsigned char* destination, size_t length);

  std::thread thread_;
  mutable std::mutex lock_;  // guards everything below, and the file
  ManualResetEvent event_;
  std::atomic<bool> terminate_{false};
  bool started_ = false;
  int fd_ = -1;
  int lastIoResult_ = 0;
  int64_t bytesLeft_ = 0;
  int64_t fileSize_ = 0;
  size_t blockSize_ = kReadAheadBlockSize;
  bool blockReady_ = false;
  size_t readyLength_ = 0;
  int blocksReadAhead_ = 0;
  std::unique_ptr<unsigned char[]> buffer_;
};

// The program's one read-ahead thread (nullptr when none).
extern TThreadDeLectureDisque* ReadAheadThread;
bool CreateReadAheadThread();
bool FreeReadAheadThread();
bool ReadAheadThreadRunning();

}  // namespace quilor
