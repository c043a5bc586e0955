#include "import/read_ahead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "platform/read_file.h"

namespace quilor {

TThreadDeLectureDisque* ReadAheadThread = nullptr;

namespace {
// Stops the thread when the program ends without freeing it.
struct ThreadReaper {
  ~ThreadReaper() { FreeReadAheadThread(); }
} g_reaper;
}  // namespace

TThreadDeLectureDisque::TThreadDeLectureDisque() : buffer_(new unsigned char[kReadAheadBlockSize]) {}

TThreadDeLectureDisque::~TThreadDeLectureDisque() {
  Stop();
  std::lock_guard<std::mutex> guard(lock_);
  CloseLocked();
}

bool TThreadDeLectureDisque::Start() {
  if (started_) return Running();
  try {
    terminate_ = false;
    thread_ = std::thread([this] { Execute(); });
  } catch (...) {
    return false;
  }
  started_ = true;
  return true;
}

void TThreadDeLectureDisque::Stop() {
  if (!started_) return;
  {
    std::lock_guard<std::mutex> guard(lock_);
    terminate_ = true;
    event_.Set();
  }
  if (thread_.joinable()) thread_.join();
  started_ = false;
}

void TThreadDeLectureDisque::Execute() {
  for (;;) {
    {
      std::lock_guard<std::mutex> guard(lock_);
      if (terminate_) return;
      if (!blockReady_ && bytesLeft_ > 0 && fd_ >= 0) {
        if (!ReadAheadBlock()) CloseLocked();
      }
      event_.Reset();
    }
    event_.Wait();
  }
}

bool TThreadDeLectureDisque::ReadFully(unsigned char* destination, size_t length) {
  size_t done = 0;
  while (done < length) {
    ssize_t got = read(fd_, destination + done, length - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      lastIoResult_ = got < 0 ? errno : EIO;  // an error, or the file shrank
      return false;
    }
    done += static_cast<size_t>(got);
  }
  lastIoResult_ = 0;
  return true;
}

bool TThreadDeLectureDisque::ReadAheadBlock() {
  size_t n = static_cast<size_t>(bytesLeft_ < static_cast<int64_t>(blockSize_) ? bytesLeft_ : blockSize_);
  if (!ReadFully(buffer_.get(), n)) return false;
  bytesLeft_ -= static_cast<int64_t>(n);
  readyLength_ = n;
  blockReady_ = true;
  ++blocksReadAhead_;
  return true;
}

void TThreadDeLectureDisque::CloseLocked() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  blockReady_ = false;
  bytesLeft_ = 0;
}

bool TThreadDeLectureDisque::OpenReadAheadFile(const char* name, int64_t& size, size_t blockSize) {
  std::lock_guard<std::mutex> guard(lock_);
  CloseLocked();
  size = 0;
  blocksReadAhead_ = 0;
  if (!name) return false;
  // A regular file only: a pipe without a writer cannot hang the open.
  int fd = OpenRegularFile(name);
  struct stat st {};
  if (fd < 0 || fstat(fd, &st) != 0) {
    lastIoResult_ = fd < 0 ? errno : EIO;
    if (fd >= 0) close(fd);
    return false;
  }
  fd_ = fd;
  lastIoResult_ = 0;
  fileSize_ = static_cast<int64_t>(st.st_size);
  bytesLeft_ = fileSize_;
  blockSize_ = blockSize < 1 ? 1 : (blockSize > kReadAheadBlockSize ? kReadAheadBlockSize : blockSize);
  size = fileSize_;
  return true;
}

void TThreadDeLectureDisque::CloseReadAheadFile() {
  std::lock_guard<std::mutex> guard(lock_);
  CloseLocked();
}

bool TThreadDeLectureDisque::TakeTextBlock(unsigned char* destination, size_t length) {
  if (blockReady_) {
    blockReady_ = false;
    if (readyLength_ != length) return false;
    std::memcpy(destination, buffer_.get(), length);
    return true;
  }
  if (fd_ < 0 || static_cast<int64_t>(length) > bytesLeft_) return false;
  if (!ReadFully(destination, length)) return false;
  bytesLeft_ -= static_cast<int64_t>(length);
  return true;
}

bool TThreadDeLectureDisque::TakeBlockFromThread(unsigned char* destination, size_t length) {
  std::lock_guard<std::mutex> guard(lock_);
  if (!TakeTextBlock(destination, length)) return false;
  event_.Set();  // the worker reads the following block while this one is scanned
  return true;
}

int TThreadDeLectureDisque::BlocksReadAhead() const {
  std::lock_guard<std::mutex> guard(lock_);
  return blocksReadAhead_;
}

bool TThreadDeLectureDisque::FileOpen() const {
  std::lock_guard<std::mutex> guard(lock_);
  return fd_ >= 0;
}

bool CreateReadAheadThread() {
  if (ReadAheadThread) return ReadAheadThread->Running() || ReadAheadThread->Start();
  auto* thread = new (std::nothrow) TThreadDeLectureDisque();
  if (!thread) return false;
  if (!thread->Start()) {
    delete thread;
    return false;
  }
  ReadAheadThread = thread;
  return true;
}

bool FreeReadAheadThread() {
  if (!ReadAheadThread) return false;
  delete ReadAheadThread;
  ReadAheadThread = nullptr;
  return true;
}

bool ReadAheadThreadRunning() { return ReadAheadThread && ReadAheadThread->Running(); }

}  // namespace quilor
