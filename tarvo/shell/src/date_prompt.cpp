// readDate, readTabStep: the date and tabulation-step prompts.
//
// The answers are interpreted by parseDateAnswer and parseTabStep; these
// routines only draw the prompt, read the line and explain a refusal.

#include "tarvo/shell/time_prompts.h"

#include "console/console.h"

namespace tarvo {

namespace {
constexpr int kAnswerLength = 30;

void showRefusal(int row, const std::string& message) {
    console::clearLine(row);
    console::setForeground(console::Color::LightRed);
    console::printAt(row, 1, message);
    console::setForeground(console::Color::LightGrey);
}
} // namespace

std::optional<DateAnswer> readDate(bool finalDate, int row, const ClockReading* clock) {
    const std::string first = std::string(finalDate ? "Final " : "Input ") +
                              "Date (YYYY,MM,DD or YYYY.MMDD) ";
    for (int r = row; r <= row + 3; ++r) console::clearLine(r);
    console::printAt(row + 1, 1, "or Julian Day (");
    console::setForeground(console::Color::White);
    console::print("J");
    console::setForeground(console::Color::LightGrey);
    console::print("#######.#####) ");
    console::printAt(row + 2, 1, "(press ENTER to get to current date & time) ");
    for (;;) {
        console::clearLine(row);
        console::printAt(row, 1, first);
        const std::optional<std::string> line = console::readLine(kAnswerLength);
        if (!line) return std::nullopt;
        const ClockReading now = clock ? *clock : readComputerClock();
        const DateAnswer answer = parseDateAnswer(*line, now);
        if (answer.status == DateAnswerStatus::Ok) {
            console::clearLine(row + 3);
            return answer;
        }
        showRefusal(row + 3, dateAnswerMessage(answer.status) + ": " + *line);
    }
}

std::optional<long double> readTabStep(int row) {
    for (int r = row; r <= row + 2; ++r) console::clearLine(r);
    console::printAt(row + 1, 1, "(press ENTER for 1 d step)  ");
    for (;;) {
        console::clearLine(row);
        console::printAt(row, 1, "Input Tab. Step (dd.hhmmss) ");
        const std::optional<std::string> line = console::readLine(kAnswerLength);
        if (!line) return std::nullopt;
        if (const auto step = parseTabStep(*line)) {
            console::clearLine(row + 2);
            return step;
        }
        showRefusal(row + 2, "The step must be greater than zero: " + *line);
    }
}

} // namespace tarvo
