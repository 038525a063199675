#!/usr/bin/python3
"""The whole-program runs. Each scenario starts its own X server and game and cleans up.

    scenarios.py <scenario> --prefix <install prefix> --artifacts <folder> --source <tree>
                 [--build <build folder>]   (the package scenario needs it)

Screens are compared with the PNGs in references/; TIRLAN_E2E_UPDATE_REFERENCES=1 stores what
a run shows as the new references (look at them before keeping them).
"""

import os
import re
import shutil
import subprocess
import sys
import time

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tirlan_e2e as e2e  # noqa: E402
from tirlan_e2e import check, log  # noqa: E402

# A piece counts as found when this share of its sample texels match.
FOUND = 0.97


def scatter_search_area(table):
    """Top-left corners a scattered piece can have (pieces stay inside the area)."""
    return table["scatter"]


NEXT_ARROW_AT = (142, 497)


def wait_for_game(session, pieces, table, timeout=30):
    """Waits until the game shows its next arrow, still disabled (the instruction has none),
    and a piece of puzzle 1 lies, whole, in the scatter area."""
    area = scatter_search_area(table)
    arrow = e2e.Piece(os.path.join(table["source"], "data", "puzzles", "105.png"), 105, None)

    def visible(image):
        canvas = session.canvas(image)
        if arrow.score_at(canvas, *NEXT_ARROW_AT, tol=e2e.tolerance(session),
                          slack=1 if session.scaled() else 0) < FOUND:
            return None
        best = e2e.topmost_piece(session, canvas, pieces, area)
        return best if best[0] >= FOUND else None

    return session.wait_for("game", visible, timeout=timeout)


def enter_game(session):
    """From the start screen to puzzle 1 without a name: Enter starts, Escape skips the
    instruction."""
    time.sleep(1.0)
    session.move(400, 300)
    session.key("Return")
    time.sleep(0.8)
    session.key("Escape")


def exit_with_alt_f4(session):
    session.key("alt+F4")
    status = session.wait_exit(15)
    check(status is not None, "the game did not exit within 15 s of Alt+F4")
    check(status == 0, "the game exited with status %s after Alt+F4" % status)
    log("Alt+F4: exit status 0")


def drop_and_look(session, piece, at, corner, label):
    """Drags `piece` (top-left at `at`) so that its top-left lands on `corner`; returns the
    canvas seen afterwards."""
    grab = (at[0] + piece.grab[0], at[1] + piece.grab[1])
    release = (corner[0] + piece.grab[0], corner[1] + piece.grab[1])
    session.drag(grab, release)
    session.drags += 1
    time.sleep(0.25)
    return session.canvas(session.screenshot(label))


def check_snaps(session, best):
    """The boundary of the snap with one real piece: 20 px off stays put, 19 px off snaps,
    and a placed piece cannot be dragged away again."""
    _, piece, x, y, _ = best
    tx, ty = piece.target
    tol = e2e.tolerance(session)
    slack = 1 if session.scaled() else 0
    log("piece %d at (%d, %d), place (%d, %d)" % (piece.texture, x, y, tx, ty))

    # 20 pixels to the right of its place (and level with it) is too far.
    canvas = drop_and_look(session, piece, (x, y), (tx + 20, ty), "drop-20px-off")
    score = piece.score_at(canvas, tx + 20, ty, tol=tol, slack=slack)
    check(score >= FOUND, "piece %d dropped 20 px off its place is not where it was dropped "
          "(score %.2f)" % (piece.texture, score))
    check(piece.score_at(canvas, tx, ty, tol=tol) < 0.9,
          "piece %d dropped 20 px off its place snapped" % piece.texture)

    # 19 pixels off in both directions snaps exactly onto the place.
    canvas = drop_and_look(session, piece, (tx + 20, ty), (tx - 19, ty + 19), "drop-19px-off")
    score = piece.score_at(canvas, tx, ty, tol=tol, slack=slack)
    check(score >= FOUND, "piece %d dropped 19 px off its place did not snap (score %.2f at "
          "its place)" % (piece.texture, score))

    # A placed piece stays where it is.
    canvas = drop_and_look(session, piece, (tx, ty), (tx - 150, ty + 40), "drag-placed")
    score = piece.score_at(canvas, tx, ty, tol=tol, slack=slack)
    check(score >= FOUND, "a placed piece moved when dragged (score %.2f at its place)" % score)
    log("snap boundary: 20 px stays, 19 px snaps, a placed piece stays")
    return piece


def solve_puzzle(session, table, pieces, already_placed=(), tinted=False):
    """Drags every remaining piece onto its place, the topmost first; checks each snaps.
    Plain pieces are found in the tint their puzzle drew them in."""
    remaining = [p for p in pieces if p not in already_placed]
    area = scatter_search_area(table)
    tol = e2e.tolerance(session)
    slack = 1 if session.scaled() else 0
    canvas = session.canvas(session.screenshot("solving"))
    tint = e2e.dominant_tint(canvas, table["tints"], table["scatter"]) if tinted else None
    while remaining:
        score, piece, x, y, _ = e2e.topmost_piece(session, canvas, remaining, area, (tint,))
        check(score >= FOUND, "no piece of the %d left is wholly visible (best %.2f)"
              % (len(remaining), score))
        canvas = drop_and_look(session, piece, (x, y), (piece.target[0] + 5, piece.target[1] - 4),
                               "placed-%d" % piece.texture)
        if len(remaining) > 1:
            placed = piece.score_at(canvas, *piece.target, tint=tint, tol=tol, slack=slack)
            check(placed >= FOUND, "piece %d did not snap (score %.2f)" % (piece.texture, placed))
        remaining.remove(piece)
    log("puzzle solved")
    return canvas


def check_completed(session, source, table, canvas):
    """The finished picture replaces the pieces, and the well-done picture shows."""
    origin = table["origin"]
    hint = e2e.Piece(os.path.join(source, "data", "puzzles", "115.png"), 115, None)
    well_done = e2e.Piece(os.path.join(source, "data", "puzzles", "137.png"), 137, None)
    tol = e2e.tolerance(session)
    slack = 1 if session.scaled() else 0
    score = hint.score_at(canvas, origin[0] - 1, origin[1], tol=tol, slack=slack)
    check(score >= FOUND, "the finished picture is not shown (score %.2f)" % score)
    score = well_done.score_at(canvas, 499, 497, tol=tol, slack=slack)
    check(score >= FOUND, "the well-done picture is not shown (score %.2f)" % score)
    log("completed: finished picture and well-done picture shown")


# ---- scenarios -------------------------------------------------------------------------------

def scenario_drag_800(args):
    """800 x 600: the canvas is the screen. Snap boundary with a real drag, puzzle 1 solved,
    Alt+F4 ends the program with status 0."""
    table = e2e.read_levels(args.source)
    pieces = e2e.load_pieces(args.source, table, 0)
    with e2e.Session("drag-800", args.prefix, args.artifacts, (800, 600)) as s:
        s.start_x()
        s.start_game()
        enter_game(s)
        _, best = wait_for_game(s, pieces, table)
        placed = check_snaps(s, best)
        canvas = solve_puzzle(s, table, pieces, already_placed=(placed,))
        time.sleep(0.5)
        canvas = s.canvas(s.screenshot("puzzle1-done"))
        check_completed(s, args.source, table, canvas)
        exit_with_alt_f4(s)


def scenario_letterbox_1920(args):
    """1920 x 1080: the canvas is scaled to 1440 x 1080 between two black bars, and the mouse
    lands where the scaled picture shows (a drag snaps); Alt+F4 exits with 0."""
    table = e2e.read_levels(args.source)
    pieces = e2e.load_pieces(args.source, table, 0)
    with e2e.Session("letterbox-1920", args.prefix, args.artifacts, (1920, 1080),
                     # No audio output at all: the program carries on with its null device.
                     env={"SDL_AUDIODRIVER": "no-such-driver"}) as s:
        s.start_x()
        s.start_game()
        enter_game(s)
        image, best = wait_for_game(s, pieces, table)
        screen = e2e.image_array(image)
        left, top, right, bottom = s.canvas_rect()
        check((left, top, right, bottom) == (240, 0, 1680, 1080), "unexpected canvas rectangle")
        bars = np.concatenate([screen[:, :left - 1], screen[:, right + 1:]], axis=1)
        check(int(bars.max()) <= 8, "the side bars are not black (max %d)" % int(bars.max()))
        # The picture reaches both edges of its rectangle: its outer columns and rows are not
        # all black, so it is neither shrunk nor shifted.
        for name, strip in (("left", screen[:, left:left + 3]), ("right", screen[:, right - 3:right]),
                            ("top", screen[top:top + 3, left:right]),
                            ("bottom", screen[bottom - 3:bottom, left:right])):
            check(int(strip.max()) > 40, "the canvas does not reach its %s edge" % name)
        log("letterbox: black bars 0..%d and %d..1919, canvas inside" % (left - 1, right))

        _, piece, x, y, _ = best
        tx, ty = piece.target
        canvas = drop_and_look(s, piece, (x, y), (tx + 6, ty + 6), "scaled-drop")
        score = piece.score_at(canvas, tx, ty, tol=e2e.tolerance(s), slack=1)
        check(score >= FOUND, "a drop 6 px off on the scaled screen did not snap (score %.2f)"
              % score)
        log("scaled drag of piece %d snapped" % piece.texture)
        exit_with_alt_f4(s)


# ---- a pupil's run with a name: screens, record ----------------------------------------------

PUPIL = "Петя Иванов"
REFERENCES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "references")
# Screens compared with a reference: the region compared, and how many pixels may differ by
# more than the fuzz (the caret blinks; the rest is fixed).
SCREENS = {
    "start-screen": ((0, 0, 800, 600), 400),
    "start-name": ((0, 0, 800, 600), 400),
    # Only the box: behind it lies the dimmed game with its random scatter.
    "exit-dialog": ((332, 200, 468, 400), 100),
    "results-screen": ((0, 0, 800, 600), 400),
}
FUZZ = 13  # 5 % of 255
EXIT_CLOSE_BUTTON = (332 + 10 + 55, 200 + 80 + 23)
RECORD_ROWS = {
    "start": "Время начала работы с упражнением",
    "drags": "Количество перетаскиваний предметов",
    "clicks": "Количество лишних кликов",
    "repeats": "Количество дополнительных вызовов инструкций",
    "time": "Общее время работы с упражнением. с.",
}


def differing_pixels(canvas, name):
    """Pixels of the screen's region that differ from the stored reference beyond the fuzz;
    with TIRLAN_E2E_UPDATE_REFERENCES=1 the region is stored as the new reference."""
    (x0, y0, x1, y1), _ = SCREENS[name]
    region = canvas[y0:y1, x0:x1]
    path = os.path.join(REFERENCES, name + ".png")
    if os.environ.get("TIRLAN_E2E_UPDATE_REFERENCES") == "1" and name not in _stored:
        _stored.add(name)
        os.makedirs(REFERENCES, exist_ok=True)
        e2e.Image.fromarray(region.astype(np.uint8)).save(path)
        log("stored reference", path)
    check(os.path.isfile(path), "no reference %s: look at a run's screenshot and store it with "
          "TIRLAN_E2E_UPDATE_REFERENCES=1" % path)
    reference = e2e.image_array(e2e.Image.open(path))
    check(reference.shape == region.shape, "reference %s has another size" % path)
    return int((np.abs(reference - region).max(axis=2) > FUZZ).sum())


_stored = set()


def wait_for_screen(session, name, timeout=20):
    limit = SCREENS[name][1]
    if os.environ.get("TIRLAN_E2E_UPDATE_REFERENCES") == "1":
        # Let the screen settle (the praise runs before the results screen) before it
        # becomes the reference.
        time.sleep(12 if name == "results-screen" else 3)

    def matches(image):
        return differing_pixels(session.canvas(image), name) <= limit

    try:
        session.wait_for(name, matches, timeout=timeout)
    except e2e.E2EFailure:
        image = session.screenshot(name + "-mismatch")
        count = differing_pixels(session.canvas(image), name)
        raise e2e.E2EFailure("%s differs from its reference in %d pixels (at most %d); see %s"
                             % (name, count, limit, session.artifacts))
    log(name, "matches its reference")


def results_file(session):
    return os.path.join(session.data_home, "TUVO", e2e.TITLE + ".xls")


def read_record(session):
    """The worksheets of the results file as {sheet name: [rows]}, read by ssconvert."""
    path = results_file(session)
    check(os.path.isfile(path), "no results file at " + path)
    out = os.path.join(session.artifacts, "record")
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    shutil.copy(path, os.path.join(session.artifacts, "results.xls"))
    status, text = run(["ssconvert", "-S", "-T", "Gnumeric_stf:stf_csv", path,
                        os.path.join(out, "%s.csv")], env={"HOME": session.home, "PATH": os.environ["PATH"]})
    check(status == 0, "ssconvert could not read the results file: " + text)
    import csv
    sheets = {}
    for name in sorted(os.listdir(out)):
        with open(os.path.join(out, name), encoding="utf-8", newline="") as f:
            sheets[name[:-4]] = [row for row in csv.reader(f)]
    check(sheets, "ssconvert found no worksheet")
    return sheets


def record_rows(sheets, pupil):
    check(pupil in sheets, "no worksheet for %s (sheets: %s)" % (pupil, ", ".join(sheets)))
    rows = {}
    for row in sheets[pupil]:
        if row and row[0]:
            rows.setdefault(row[0], []).append(row[1:] if len(row) > 1 else [])
    return rows


def check_start_row(rows, started_at):
    label = RECORD_ROWS["start"]
    check(label in rows, "the record has no start-time row; rows: %s" % list(rows))
    value = rows[label][-1][0] if rows[label][-1] else ""
    parsed = None
    try:
        parsed = time.mktime(time.strptime(value, "%d-%B-%Y %H:%M"))
    except ValueError:
        pass
    check(parsed is not None, "the start time %r is not day-Month-year hours:minutes" % value)
    check(abs(parsed - started_at) <= 180, "the start time %r is not the time of this run" % value)


def start_named_run(session):
    """Start screen, the name typed, Enter: returns the calendar time when Enter was pressed."""
    wait_for_screen(session, "start-screen")
    session.move(700, 580)
    session.type(PUPIL)
    time.sleep(0.5)
    wait_for_screen(session, "start-name", timeout=5)
    session.key("Return")
    return time.time()


def one_snapping_drag(session, table, pieces):
    _, best = wait_for_game(session, pieces, table)
    _, piece, x, y, _ = best
    canvas = drop_and_look(session, piece, (x, y), (piece.target[0] + 3, piece.target[1] + 3), "drag")
    score = piece.score_at(canvas, *piece.target, tol=e2e.tolerance(session))
    check(score >= FOUND, "piece %d did not snap (score %.2f)" % (piece.texture, score))
    log("piece %d snapped" % piece.texture)


def close_from_exit_dialog(session):
    session.move(60, 560)
    session.key("F12")
    wait_for_screen(session, "exit-dialog", timeout=10)
    session.click(*EXIT_CLOSE_BUTTON)
    status = session.wait_exit(15)
    check(status is not None, "the game did not end after Close in the exit dialog")
    check(status == 0, "the game exited with status %s after Close" % status)
    log("Close: exit status 0")


def scenario_pupil_skip(args):
    """A named pupil skips the instruction with Esc, places a piece, and quits through F12 and
    Close; the record holds the pupil's worksheet with the start time."""
    table = e2e.read_levels(args.source)
    pieces = e2e.load_pieces(args.source, table, 0)
    with e2e.Session("pupil-skip", args.prefix, args.artifacts, (800, 600)) as s:
        s.start_x()
        s.set_layout("ru")
        s.start_game()
        started = start_named_run(s)
        time.sleep(1.5)
        s.screenshot("instruction")
        s.key("Escape")
        one_snapping_drag(s, table, pieces)
        close_from_exit_dialog(s)
        rows = record_rows(read_record(s), PUPIL)
        check_start_row(rows, started)
        log("record rows:", rows)


def scenario_pupil_wait(args):
    """The instruction is watched to its end, Space leaves its closing page, a piece is placed,
    and F12 then Close end the run; the record is saved."""
    table = e2e.read_levels(args.source)
    pieces = e2e.load_pieces(args.source, table, 0)
    # The closing page's mouse picture (its keyboard has a blinking space bar).
    mouse = e2e.Piece(os.path.join(args.source, "data", "ui", "mouse.png"), 0, None)
    with e2e.Session("pupil-wait", args.prefix, args.artifacts, (800, 600)) as s:
        s.start_x()
        s.set_layout("ru")
        s.start_game()
        start_named_run(s)
        # The closing page shows a keyboard and a mouse; until Space it stays.
        s.wait_for("closing-page", lambda image: mouse.score_at(
            s.canvas(image), 500, 209, tol=e2e.tolerance(s)) >= FOUND, timeout=40, interval=1.0)
        log("the instruction ended on its closing page")
        time.sleep(2.0)
        canvas = s.canvas(s.screenshot("still-closing-page"))
        check(mouse.score_at(canvas, 500, 209, tol=e2e.tolerance(s)) >= FOUND,
              "the closing page went away without Space")
        s.key("space")
        started = time.time()
        one_snapping_drag(s, table, pieces)
        close_from_exit_dialog(s)
        rows = record_rows(read_record(s), PUPIL)
        check_start_row(rows, started)
        log("record rows:", rows)


def scenario_pupil_alt_f4(args):
    """Alt+F4 in the middle of the game still saves the named pupil's record."""
    table = e2e.read_levels(args.source)
    pieces = e2e.load_pieces(args.source, table, 0)
    with e2e.Session("pupil-alt-f4", args.prefix, args.artifacts, (800, 600)) as s:
        s.start_x()
        s.set_layout("ru")
        s.start_game()
        started = start_named_run(s)
        time.sleep(1.5)
        s.key("Escape")
        wait_for_game(s, pieces, table)
        exit_with_alt_f4(s)
        rows = record_rows(read_record(s), PUPIL)
        check_start_row(rows, started)
        log("record rows:", rows)


def scenario_unwritable_data(args):
    """The data folder cannot be made (a file stands in its way): the named run goes on as
    usual and Alt+F4 still ends the program with status 0."""
    table = e2e.read_levels(args.source)
    pieces = e2e.load_pieces(args.source, table, 0)
    with e2e.Session("unwritable-data", args.prefix, args.artifacts, (800, 600)) as s:
        blocker = os.path.join(s.home, "not-a-folder")
        with open(blocker, "w") as f:
            f.write("a file where the data folder's parent should be\n")
        s.data_home = os.path.join(blocker, "data")
        s.start_x()
        s.set_layout("ru")
        s.start_game()
        start_named_run(s)
        time.sleep(1.5)
        s.key("Escape")
        one_snapping_drag(s, table, pieces)
        exit_with_alt_f4(s)
        check(os.path.isfile(blocker), "the file in the data folder's way is gone")


NEXT_ARROW_CLICK = (NEXT_ARROW_AT[0] + 48, NEXT_ARROW_AT[1] + 29)
RESULTS_CLOSE_BUTTON = (660 + 55, 490 + 23)


def scenario_pupil_complete(args):
    """A named pupil solves all three puzzles (with one extra right click on a piece and one
    call of the instruction), the praise leads to the results screen, and its Close ends the
    program; the record holds every row with the counts of this run."""
    table = e2e.read_levels(args.source)
    levels = [e2e.load_pieces(args.source, table, 0),
              e2e.load_pieces(args.source, table, 1, outline=True),
              e2e.load_pieces(args.source, table, 2, outline=True)]
    with e2e.Session("pupil-complete", args.prefix, args.artifacts, (800, 600)) as s:
        s.start_x()
        s.set_layout("ru")
        s.start_game()
        started = start_named_run(s)
        time.sleep(1.5)
        s.key("Escape")
        _, best = wait_for_game(s, levels[0], table)
        _, piece, x, y, _ = best
        # A right click on a piece is an extra click.
        s.move(x + piece.grab[0], y + piece.grab[1])
        time.sleep(0.1)
        s.xdotool("click", 3)
        # The instruction once more (F1), skipped again: one repeat.
        s.key("F1")
        time.sleep(1.5)
        s.screenshot("instruction-again")
        s.key("Escape")
        wait_for_game(s, levels[0], table)
        for number, pieces in enumerate(levels, start=1):
            solve_puzzle(s, table, pieces, tinted=number > 1)
            time.sleep(0.5)
            s.click(*NEXT_ARROW_CLICK)
            time.sleep(1.0)
            log("puzzle %d done" % number)
        s.move(400, 590)
        wait_for_screen(s, "results-screen", timeout=30)
        finished = time.time()
        s.click(*RESULTS_CLOSE_BUTTON)
        status = s.wait_exit(15)
        check(status == 0, "the game exited with status %s after the results screen's Close" % status)
        rows = record_rows(read_record(s), PUPIL)
        log("record rows:", rows)
        check_start_row(rows, started)
        expected = {"drags": s.drags, "clicks": 1, "repeats": 1}
        for key, value in expected.items():
            label = RECORD_ROWS[key]
            check(label in rows, "the record has no row %s" % label)
            check(rows[label][-1][:1] == [str(value)], "row %s is %r, expected %d"
                  % (label, rows[label][-1], value))
        label = RECORD_ROWS["time"]
        check(label in rows, "the record has no row " + label)
        seconds = int(rows[label][-1][0])
        check(0 < seconds <= finished - started + 2, "the work took %d s by the record" % seconds)


# ---- the package -----------------------------------------------------------------------------

# Files the package must install, relative to its root.
PACKAGE_FILES = [
    "usr/bin/tirlan",
    "usr/share/applications/tirlan.desktop",
    "usr/share/metainfo/io.github.tirlan.Tirlan.metainfo.xml",
    "usr/share/icons/hicolor/48x48/apps/tirlan.png",
    "usr/share/icons/hicolor/64x64/apps/tirlan.png",
    "usr/share/icons/hicolor/128x128/apps/tirlan.png",
    "usr/share/icons/hicolor/256x256/apps/tirlan.png",
    "usr/share/icons/hicolor/scalable/apps/tirlan.svg",
]
# Packages the program needs that no library link reveals: the faces its font lookup asks for.
PACKAGE_EXTRA_DEPENDS = ["fonts-liberation", "fontconfig"]


def run(command, **kwargs):
    result = subprocess.run(command, capture_output=True, text=True, timeout=100, **kwargs)
    return result.returncode, result.stdout + result.stderr


def depends_names(field):
    """Package names of a Depends field: alternatives and version constraints dropped."""
    names = set()
    for clause in field.split(","):
        for alternative in clause.split("|"):
            name = alternative.strip().split(" ")[0].split(":")[0]
            if name:
                names.add(name)
    return names


def owning_package(path):
    """The installed package that holds the file at `path` (as linked, or its real path)."""
    for candidate in (path, os.path.realpath(path)):
        status, out = run(["dpkg-query", "-S", candidate])
        if status == 0:
            return out.splitlines()[0].split(":")[0].strip()
    return None


def scenario_package(args):
    """cpack builds the .deb; its files sit in the standard places and validate; its Depends
    covers every library the program links and the fonts; the packaged program starts and
    Alt+F4 ends it with status 0."""
    check(args.build, "--build is needed")
    work = os.path.join(args.artifacts, "package")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    status, out = run(["cpack", "-G", "DEB", "--config", os.path.join(args.build, "CPackConfig.cmake"),
                       "-B", work], cwd=work)
    check(status == 0, "cpack failed:\n" + out[-3000:])
    debs = [f for f in os.listdir(work) if f.endswith(".deb")]
    check(len(debs) == 1, "cpack made %d .deb files" % len(debs))
    deb = os.path.join(work, debs[0])
    check(re.fullmatch(r"tirlan_[0-9][0-9.]*_[a-z0-9]+\.deb", debs[0]) is not None,
          "unexpected package file name " + debs[0])
    log("built", debs[0])

    root = os.path.join(work, "root")
    status, out = run(["dpkg-deb", "-x", deb, root])
    check(status == 0, "dpkg-deb -x failed: " + out)
    missing = [f for f in PACKAGE_FILES if not os.path.isfile(os.path.join(root, f))]
    check(not missing, "the package lacks " + ", ".join(missing))
    check(os.access(os.path.join(root, "usr/bin/tirlan"), os.X_OK), "usr/bin/tirlan is not executable")

    status, out = run(["desktop-file-validate", os.path.join(root, PACKAGE_FILES[1])])
    check(status == 0 and "error:" not in out and "warning:" not in out,
          "desktop-file-validate: " + out)
    status, out = run(["appstreamcli", "validate", "--no-net", os.path.join(root, PACKAGE_FILES[2])])
    check(status == 0, "appstreamcli validate: " + out)
    log("desktop entry and metainfo validate")

    status, out = run(["readelf", "-d", os.path.join(root, "usr/bin/tirlan")])
    check(status == 0, "readelf failed: " + out)
    check("RPATH" not in out and "RUNPATH" not in out, "the packaged program has a run path:\n" + out)
    needed = re.findall(r"\(NEEDED\)\s+Shared library: \[([^\]]+)\]", out)
    check(needed, "the packaged program names no shared library")
    status, field = run(["dpkg-deb", "-f", deb, "Depends"])
    check(status == 0, "dpkg-deb -f failed: " + field)
    depends = depends_names(field)
    uncovered = []
    status, out = run(["ldd", os.path.join(root, "usr/bin/tirlan")])
    check(status == 0, "ldd failed: " + out)
    resolved = dict(re.findall(r"^\s*(\S+) => (/\S+)", out, re.M))
    for soname in needed:
        check(soname in resolved, "%s is not found on this system:\n%s" % (soname, out))
        package = owning_package(resolved[soname])
        check(package is not None, "no installed package holds " + resolved[soname])
        if package not in depends:
            uncovered.append("%s (%s)" % (soname, package))
    check(not uncovered, "Depends (%s) lacks %s" % (field.strip(), ", ".join(uncovered)))
    lacking = [p for p in PACKAGE_EXTRA_DEPENDS if p not in depends]
    check(not lacking, "Depends lacks " + ", ".join(lacking))
    log("Depends covers", len(needed), "libraries and", ", ".join(PACKAGE_EXTRA_DEPENDS))

    with e2e.Session("package-run", args.prefix, args.artifacts, (800, 600)) as s:
        s.start_x()
        s.start_game(os.path.join(root, "usr", "bin", "tirlan"))
        s.wait_for("first-frame", lambda image: int(e2e.image_array(image).max()) > 40, timeout=20)
        log("the packaged program shows a frame")
        exit_with_alt_f4(s)


SCENARIOS = {
    "drag-800": scenario_drag_800,
    "letterbox-1920": scenario_letterbox_1920,
    "package": scenario_package,
    "pupil-skip": scenario_pupil_skip,
    "pupil-wait": scenario_pupil_wait,
    "pupil-alt-f4": scenario_pupil_alt_f4,
    "pupil-complete": scenario_pupil_complete,
    "unwritable-data": scenario_unwritable_data,
}

if __name__ == "__main__":
    sys.exit(e2e.run_main(SCENARIOS, sys.argv[1:]))
