#include "app/dialogue.h"

#include <cstdint>
#include <string>

#include "run/fatal_stop.h"
#include "text/free_form_reader.h"
#include "text/free_format_line.h"

namespace gaumo {
namespace {

bool is_blank_line(std::string_view s) {
  return s.find_first_not_of(" \t") == std::string_view::npos;
}

/// The next non-blank console line; false at the end of the input.
bool next_answer_line(std::istream& in, std::string& line) {
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    if (!is_blank_line(line))
      return true;
  }
  return false;
}

std::int32_t read_year(std::istream& in, RunLog& log, const char* what) {
  log.console_stream().flush();
  std::string line;
  if (!next_answer_line(in, line)) {
    stop_with_message(std::string("Could not read the ") + what +
                      ": the console input ended");
  }
  std::int32_t year = 0;
  const std::string why = read_year_answer(line, year);
  if (!why.empty())
    stop_with_message(std::string("Could not read the ") + what + ": " + why);
  return year;
}

}  // namespace

std::string read_year_answer(std::string_view line, std::int32_t& year) {
  const Target t = Target::int32(&year);
  // Each answer takes exactly one line: no read goes on to the next.
  const ReadResult r = read_values(line, nullptr, {&t, 1});
  if (r.ok() && r.assigned != 0)
    return {};
  std::string shown(r.bad_text.empty() ? line : r.bad_text);
  return "\"" + shown + "\" is not a whole number" +
         (r.status == ReadStatus::kOutOfRange ? " of 32 bits" : "");
}

RunOptions ask_run_options(std::istream& in, RunLog& log) {
  DialogueAnswers none;
  return ask_run_options(in, log, none);
}

RunOptions ask_run_options(std::istream& in, RunLog& log,
                           DialogueAnswers& answers) {
  log.console(free_line({}));
  log.console(free_line({"Natural flows means that diversion(s) "}));
  log.console(free_line({"is(are) set to 0.0 cms"}));
  log.console(free_line({"Would you like to run with natural flows y/n?"}));
  log.console(free_line({}));
  log.console_stream().flush();
  if (!answers.natural_flows) {
    std::string answer;
    // Only the first character is looked at, and nothing depends on it.
    if (!next_answer_line(in, answer)) {
      stop_with_message(
          "Could not read the natural-flows answer: the console input ended");
    }
    answers.natural_flows = answer;
  }
  log.console(free_line({}));
  log.console(free_line({"What year would you like to start with yyyy?"}));
  log.console(free_line({}));
  if (!answers.first_year)
    answers.first_year = read_year(in, log, "first year");
  const std::int32_t start = *answers.first_year;
  log.console(free_line({}));
  log.console(free_line({"enter the last year"}));
  log.console(free_line({}));
  if (!answers.last_year)
    answers.last_year = read_year(in, log, "last year");
  const std::int32_t end = *answers.last_year;
  for (const char* menu :
       {"To create diversion files:", "No diversion   0", "Winnipeg river 1",
        "Lake Winnipeg  2", "Assiniboine R. 3", "Saskatchewan R. 4",
        "Nelson R.      5  (future)", "Churchil R.    6  (future)",
        "Pick 0, 1, 2, 3 or 4:"}) {
    log.console(free_line({menu}));
  }
  return make_run_options(start, end);
}

}  // namespace gaumo
