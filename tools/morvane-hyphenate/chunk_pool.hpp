#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace morvane::tools {

/// Chunks of input worked on by a pool of threads and handed back in the
/// order they were started, on the thread that started them (with no
/// threads, each is worked on and handed back as it starts). The threads
/// and the chunks' buffers last as long as the pool: fresh memory for every
/// chunk would cost more in page faults than a thread saves.
class ChunkPool {
 public:
  struct Chunk {
    std::string input;
    std::string output;
    std::size_t count = 0;           // what the work counted (words, lines)
    std::vector<std::size_t> marks;  // places the work noted (overfull lines)
  };
  /// Fills a chunk's output, count and marks from its input.
  using Work = std::function<void(Chunk&)>;
  /// Takes a finished chunk.
  using Done = std::function<void(const Chunk&)>;

  ChunkPool(unsigned threads, Work work, Done done);
  ChunkPool(const ChunkPool&) = delete;
  ChunkPool& operator=(const ChunkPool&) = delete;
  /// Stops the threads; chunks not yet done are dropped.
  ~ChunkPool();

  /// Starts the first `cut` bytes of `pending` as a chunk and leaves the
  /// rest in `pending` (in the buffer the chunk before last used). May hand
  /// the oldest chunk to `done` first, when all are in use; rethrows what
  /// its work threw.
  void start(std::string& pending, std::size_t cut);
  /// Hands every chunk started to `done`.
  void finishAll();

 private:
  struct Slot {
    Chunk chunk;
    bool done = false;
    std::exception_ptr failure;
  };
  void finishOldest();
  void workOn(Chunk& chunk) const;
  void work();

  unsigned threads_;
  Work work_;
  Done done_;
  // A ring: `started_` slots from `oldest_` on are being worked on or wait
  // to be handed back.
  std::vector<Slot> slots_;
  std::size_t oldest_ = 0;
  std::size_t started_ = 0;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Slot*> queue_;  // started, not yet taken by a thread
  bool stopping_ = false;
  std::vector<std::thread> workers_;  // started with the first chunk
};

/// How many threads the command may use: the processors it may run on.
unsigned availableProcessors();

/// The threads the command uses when not told: one per processor, but no
/// more than one thread reading and writing keeps busy.
inline constexpr unsigned kDefaultMostThreads = 8;

}  // namespace morvane::tools
