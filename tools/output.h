// Standard output collected in large blocks and written with write(2), and
// reports of refused inputs and of failures on standard error, each line
// "orvik-chrono: " and a message. A failed write of standard output ends the
// command: Flush throws std::system_error, whose text reads
// "write error: <reason>".
#ifndef ORVIK_CHRONO_TOOLS_OUTPUT_H_
#define ORVIK_CHRONO_TOOLS_OUTPUT_H_

#include <unistd.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvik::chrono::cli {

struct Output {
  static constexpr std::size_t kBlock = 1 << 16;

  int Fd;
  std::string Buffer;
};

// Writes and empties the buffer.
void Flush(Output& out);

// Throws the write error for `error` (an errno value).
[[noreturn]] void ThrowWriteError(int error);

// The reports of one command, gathered in a block like standard output and
// written when the block is full and when the command ends.
struct Refusals {
  std::size_t Count = 0;
  // Standard output's buffer when both streams reach one file, pipe or
  // terminal: reports then go into it, so that results and refusals keep the
  // order of the inputs. Otherwise null, and reports go to Errors.
  Output* Shared = nullptr;
  Output Errors{STDERR_FILENO, {}};

  // For a command that writes to `out`.
  explicit Refusals(Output& out);
  Refusals(const Refusals&) = delete;
  Refusals& operator=(const Refusals&) = delete;
  Refusals(Refusals&&) = delete;
  Refusals& operator=(Refusals&&) = delete;
  // Writes the reports still held, whatever ends the command.
  ~Refusals();
};

// Writes the reports held, then `out`: a report reaches standard error no
// later than the output of the inputs after it, even where a closed pipe ends
// the tool at that output.
void Flush(Output& out, Refusals& refusals);

// Writes what `out` holds and then `text`, as Flush(out, refusals) does.
void WriteLong(Output& out, Refusals& refusals, std::string_view text);

// Appends `text` to `out`, or writes it as WriteLong does where it fills a
// block alone, so that a long record is never copied.
inline void Append(Output& out, Refusals& refusals, std::string_view text) {
  if (text.size() >= Output::kBlock) return WriteLong(out, refusals, text);
  out.Buffer.append(text);
}

// Flushes once a block of output has gathered.
inline void FlushWhenFull(Output& out, Refusals& refusals) {
  if (out.Buffer.size() >= Output::kBlock) Flush(out, refusals);
}

// Appends `text` with every control byte written as \xHH.
void AppendEscaped(std::string& out, std::string_view text);
// `text` with every control byte written as \xHH.
std::string EscapeControlBytes(std::string_view text);

// Appends `text` as a message shows a record: whole up to 256 bytes, or else
// its first bytes, whole UTF-8 sequences, then kCut, its size and kCutBytes.
// With `size`, `text` is the start of a text of that size, at least its
// first 257 bytes where it is longer than 256, so that it need not be whole.
void AppendExcerpt(std::string& out, std::string_view text, std::size_t size);
inline void AppendExcerpt(std::string& out, std::string_view text) { AppendExcerpt(out, text, text.size()); }

// Writes "orvik-chrono: <message>" and a newline on standard error at once.
void Say(std::string_view message);

// Reports "orvik-chrono: <where> <position>: <message>", control bytes of the
// message escaped, and counts it. `where` is "line" or "argument": eight bytes
// of it at most are shown.
void Report(Refusals& refusals, std::string_view where, std::size_t position, std::string_view message);

// Reports that reading `input` (a name) failed with `error` (an errno value)
// and counts it.
void ReportReadError(Refusals& refusals, std::string_view input, int error);

// 0 when nothing was refused, 1 otherwise.
inline int ExitStatus(const Refusals& refusals) { return refusals.Count == 0 ? 0 : 1; }

// Writes what `append(text, out, refusal)` appends for each of `texts` to
// standard output; where it returns false, reports `refusal` instead. Returns
// the exit status.
template <typename Append>
int ForEachText(const std::vector<std::string>& texts, Append append) {
  Output out{STDOUT_FILENO, {}};
  Refusals refusals(out);
  std::string refusal;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    refusal.clear();
    if (!append(texts[i], out.Buffer, refusal)) Report(refusals, "argument", i + 1, refusal);
  }
  Flush(out);
  return ExitStatus(refusals);
}

}  // namespace orvik::chrono::cli

#endif  // ORVIK_CHRONO_TOOLS_OUTPUT_H_
