#include "app/App.h"

#include "game/Game.h"

namespace {
// The description for the teacher: the three puzzles, the snapping of dropped pieces, what is
// counted and the keys.
const std::wstring teacherDescription =
        L"Это упражнение — игра-пазл из трёх заданий, которые ученик решает одно за другим. "
        L"Сначала звучит инструкция; рука с мышью показывает, как перетаскивать детали. В "
        L"первом задании собирают цветную картинку из девяти частей, во втором — мозаику из "
        L"девяти одноцветных деталей с фигурными краями, а в третьем — квадрат из десяти "
        L"геометрических фигур. Детали лежат вразброс слева; их переносят мышью в рамку справа. "
        L"Деталь, отпущенная рядом со своим местом (ближе 20 точек по каждой оси), сама встаёт "
        L"на место и больше не двигается. Когда все детали на местах, появляется готовая "
        L"картинка, а зелёная стрелка открывает следующее задание. Программа считает, сколько "
        L"раз детали перетаскивали, сколько было лишних щелчков правой или средней кнопкой по "
        L"деталям, сколько раз ученик вызывал инструкцию повторно, а также время начала и "
        L"длительность работы. Клавиша F1 повторяет инструкцию, F12 открывает окно выхода.";
} // namespace

const std::wstring& App::TeacherDescription() { return teacherDescription; }

App::App() { SetInfo(L"00734", L"Игра «Тирлан»", teacherDescription); }

App::~App() = default;

void App::Init() { AddExercise(L"Dialog1", BuildGame); }

void App::RecordGameStatistics()
{
    if (workbook)
        workbook->RecordGameStatistics(dragCount, extraClickCount);
    ShowPraiseAt(137, 100);
}
