#!/usr/bin/python3
"""Runs every benchmark of the build and rewrites BENCHMARKS.md.

Usage: bench/report.py BUILD_DIR OUTPUT_MARKDOWN [SECTION_TITLE ...]

With section titles ("Kept conversations", say), only those sections are run
again; the others, and their lines in the targets table, are kept from
OUTPUT_MARKDOWN as they are, and each section re-run says when it was run.

Each benchmark program is a Google Benchmark executable; the reference tools
(pdftotext, tesseract, openpyxl, ls, grep, ...) are measured inside the same
programs, in the same run, so every comparison below is like for like.
"""

import datetime
import json
import os
import platform
import statistics
import subprocess
import sys

import whole_process

# Section: (title, program, note, rows, comparisons)
#   rows: (benchmark name, label)
#   comparisons: (label, ours, reference, kind, target)
#     kind "ratio_at_most": ours / reference <= target
#     "faster_by": reference / ours >= target
#     "faster": ours < reference
#     "time_under_ms": ours (real time) < target ms
#     "counter_under:<name>": counter of ours < target (milliseconds when it ends in _ms, a
#         percentage when in _percent, else MiB)
#     "within_ms": ours (real time) at most target ms above the reference
SECTIONS = [
    ("Tool-call parser", "tools/bench_tool_call_parser",
     "Calls written as text by the local model.",
     [("BM_parseToolCalls100KB", "`parseToolCalls`, 100 KB reply with a call every ~1 KB"),
      ("BM_parseToolCallsPlainProse100KB", "`parseToolCalls`, 100 KB of prose without calls")],
     []),
    ("Model clients", "models/bench_model_clients",
     "Request bodies and streamed replies, without a model.",
     [("BM_cloudBody1000Messages", "Cloud request body, 1,000 messages + the tool catalogue"),
      ("BM_ollamaBody1000Messages", "Ollama request body, same conversation"),
      ("BM_read10000SseLines", "10,000 server-sent-event lines read as pieces"),
      ("BM_split10000Lines", "The line splitting alone, same input"),
      ("BM_read10000OllamaLines", "10,000 Ollama JSON lines read as pieces"),
      ("BM_stream10000EventsOverHttp", "10,000 events end to end over localhost HTTP")],
     []),
    ("Persona store", "persona/bench_persona_store",
     "A memory directory of 3,650 daily logs of 2 KB (ten years), warm.",
     [("BM_appendToDailyLogWithRescan", "`appendToDailyLog` with the rescan"),
      ("BM_systemPrompt", "`systemPrompt`"),
      ("BM_rescanWarmCache", "Rescan, contents cached"),
      ("BM_rescanWithoutCache", "Rescan reading every file")],
     [("append + rescan under 50 ms", "BM_appendToDailyLogWithRescan", None, "time_under_ms", 50),
      ("`systemPrompt` under 50 ms", "BM_systemPrompt", None, "time_under_ms", 50)]),
    ("File and shell tools", "tools/bench_file_tools",
     "The reference programs are spawned the same way as the tools' own children (own "
     "session, pipes drained by poll), so both sides pay the same process costs; CPU is this "
     "process's own time, a child's is not counted.",
     [("BM_listDirectory100000", "`list_directory`, 100,000 entries"),
      ("BM_ls1_100000", "`ls -1`, same folder"),
      ("BM_searchFiles10000", "`search_files`, 10,000 files"),
      ("BM_grepRl10000", "`grep -rl`, same tree"),
      ("BM_readFile100KB", "`read_file`, 100 KB"),
      ("BM_cat100KB", "`cat`, same file")],
     [("list_directory vs ls -1", "BM_listDirectory100000", "BM_ls1_100000", "ratio_at_most", None),
      ("search_files vs grep -rl", "BM_searchFiles10000", "BM_grepRl10000", "ratio_at_most", None)]),
    ("Shell commands", "tools/bench_run_command",
     "A `run_command` round trip is mostly the shell's own start-up.",
     [("BM_runCommandTrue", "`run_command \"true\"`"),
      ("BM_qprocessZshTrue", "QProcess `zsh -c true`"),
      ("BM_spawnBinTrue", "Bare spawn of `/bin/true`")],
     [("run_command vs QProcess", "BM_runCommandTrue", "BM_qprocessZshTrue", "ratio_at_most", None)]),
    ("Document readers", "tools/bench_document_readers",
     "In process. `cpu_ms` counts this process and its children. OCR runs single-threaded: "
     "Tesseract's OpenMP teams cost several times the CPU on two cores, so recognition keeps them "
     "to the calling thread (`omp_set_max_active_levels(0)` before each recognition); the "
     "`tesseract` command is shown with and without `OMP_THREAD_LIMIT=1`. read_xlsx reads its XML "
     "with libxml2's SAX2 parser, chosen by the comparison below.",
     [("BM_ReadPdf100Pages", "read_pdf, 100-page text PDF"),
      ("BM_Pdftotext100Pages", "`pdftotext`, same file"),
      ("BM_ReadImageFirstCall/iterations:3", "read_image, 1920×1080, first call on a thread"),
      ("BM_ReadImageWarm/iterations:5", "read_image, same image, warm engine"),
      ("BM_TesseractCommand/iterations:3", "`tesseract` command, five languages"),
      ("BM_TesseractCommandOneThread/iterations:3", "`tesseract`, `OMP_THREAD_LIMIT=1`"),
      ("BM_ReadXlsx100kCells", "read_xlsx, 100,000 cells"),
      ("BM_Openpyxl100kCells/iterations:3", "openpyxl load + iterate, same file"),
      ("BM_ReadDocx1MB", "read_docx, 1 MB document")],
     [("read_pdf within 1.2× of pdftotext", "BM_ReadPdf100Pages", "BM_Pdftotext100Pages", "ratio_at_most", 1.2),
      ("warm read_image faster than tesseract", "BM_ReadImageWarm/iterations:5",
       "BM_TesseractCommand/iterations:3", "faster", None),
      ("read_xlsx ≥ 10× faster than openpyxl", "BM_ReadXlsx100kCells",
       "BM_Openpyxl100kCells/iterations:3", "faster_by", 10)]),
    ("XML readers for read_xlsx", "tools/bench_xml_tokenisers",
     "The XML readers in Debian, tokenising read_xlsx's benchmark parts (3.5 MB of sheet, 1.8 MB of "
     "shared strings) and doing nothing else. pugixml is the fastest but is not a conforming XML "
     "reader: it resolves no namespaces (elements are matched by namespace, not prefix), leaves "
     "unknown entity references in the text and reports less malformed XML, rules read_xlsx keeps. "
     "Of the conforming readers, libxml2's SAX2 interface and expat lead, about five times faster "
     "than QXmlStreamReader (SAX2 ahead by a third on an Intel Xeon, level on an AMD EPYC); libxml2 "
     "is used, as Tesseract already loads it.",
     [("BM_QXmlStreamReader", "QXmlStreamReader"),
      ("BM_Libxml2Sax2", "libxml2, SAX2 callbacks (used)"),
      ("BM_Libxml2TextReader", "libxml2, xmlTextReader"),
      ("BM_Expat", "expat, namespace processing on"),
      ("BM_Pugixml", "pugixml, in-place tree")],
     [("libxml2 SAX2 vs QXmlStreamReader", "BM_Libxml2Sax2", "BM_QXmlStreamReader", "ratio_at_most", None)]),
    ("Document writers", "tools/bench_document_writers",
     "The openpyxl row is openpyxl's own time to build and save the same cells (no interpreter "
     "start or import). Archives are deflated at level 1: zlib's default level took about 8× "
     "longer on the worksheet for a file a fifth smaller.",
     [("BM_createXlsx100kCells", "create_xlsx, 100,000 cells"),
      ("BM_openpyxlWrite100kCellsCpu/iterations:3/manual_time", "openpyxl writing the same cells"),
      ("BM_createPptx100Slides", "create_pptx, 100 slides"),
      ("BM_createPdfSlides100Slides", "create_pdf_slides, 100 slides")],
     [("create_xlsx ≥ 10× faster than openpyxl", "BM_createXlsx100kCells",
       "BM_openpyxlWrite100kCellsCpu/iterations:3/manual_time", "faster_by", 10)]),
    ("Phone server", "server/bench_phone_server",
     "Loopback; the phone is a socket client in the benchmark.",
     [("getPage/real_time", "GET \"/\" (the page), one connection per request"),
      ("pieceToReader/iterations:5/real_time", "Piece handed to the stream → its line read by the phone")],
     []),
    ("Chat controller", "core/bench_tool_loop",
     "A 10,000-message conversation with tool exchanges. A pass reuses the request form of every "
     "message unchanged since the last pass (the conversation only grows), so only new messages "
     "are converted; building every message afresh is the first two rows.",
     [("BM_buildWireMessages/10000/0", "`buildWireMessages`, native mode, from scratch"),
      ("BM_buildWireMessages/10000/1", "`buildWireMessages`, text mode, from scratch"),
      ("BM_toolLoopPass/10000", "One pass of the agent loop, model answering at once")],
     [("loop pass under 5 ms", "BM_toolLoopPass/10000", None, "time_under_ms", 5)]),
    ("Formatted replies", "ui/bench_formatted_reply",
     "The main window's content in process, \"Show replies formatted\" on. A reply of about 20,000 "
     "characters with 20 code blocks and a 50-row table replaced by another (every block differs) "
     "and the frame drawn; then the same reply streamed in 20-character pieces, each piece appended "
     "and its frame drawn before the next (the window itself draws at most one frame per display "
     "refresh, however many pieces arrive); then streamed at 200 pieces a second with a frame every "
     "sixtieth of a second, for the CPU share (below the two long replies before it, as in a "
     "conversation under way); then a transcript of 200 questions and formatted "
     "replies (about 1,000 characters each: a heading, a list, a code block, a table in every fifth) "
     "scrolled 40 pixels a frame, a frame dropped when it takes longer than 16.7 ms. Qt Quick's "
     "software renderer, exactly one frame drawn per display refresh, through the window's own "
     "render loop (which redraws only what changed); rows coming into view get their items in the "
     "frame that shows them. Wall times include waiting for the CPU on a busy machine; the CPU "
     "column is this process's own. "
     "Each figure is the median of five runs of the program.",
     [("BM_FormatLongReply/iterations:30/manual_time", "Content change → frame, 20,000-character reply"),
      ("BM_StreamPieces/iterations:1", "Streamed in pieces, each piece → its frame"),
      ("BM_StreamCpuAt200PerSecond/iterations:1", "Streamed at 200 pieces a second, 60 frames a second"),
      ("BM_ScrollFormattedTranscript/iterations:1500/manual_time",
       "Scrolling 200 formatted replies, 40 pixels a frame (frame time)")],
     [("formatted reply under 30 ms (median)", "BM_FormatLongReply/iterations:30/manual_time", None,
       "counter_under:median_ms", 30),
      ("each streamed piece on screen under 20 ms (p99)", "BM_StreamPieces/iterations:1", None,
       "counter_under:p99_ms", 20),
      ("CPU while streaming under 25 % of a core", "BM_StreamCpuAt200PerSecond/iterations:1", None,
       "counter_under:cpu_percent", 25),
      ("scrolling drops under 5 % of frames at 60 a second",
       "BM_ScrollFormattedTranscript/iterations:1500/manual_time", None,
       "counter_under:dropped_percent", 5)]),
    ("Kept conversations", "core/bench_kept_conversations",
     "2,000 kept conversations, 200,000 messages, one of them 5,000 long (SQLite, WAL, trigram "
     "index). The file is read and written on its own thread: the window's thread only queues "
     "work and takes the answers (the CPU column is that thread's). The search types tracking, "
     "quarterly, words42 and \"nothing here\" a key at a time. Every message holds the first two "
     "words, the worst case for the index, so text found in thousands of messages is looked for "
     "conversation by conversation up to the first match, and text in few messages through the "
     "index. The slowest keystrokes (max in details) are text in many messages of some "
     "conversations and none of the others (words4), or two letters found nowhere (no): every "
     "message of the conversations without a match is read; the next keystroke gives them up.",
     [("BM_LaunchOnWindowThread/0/iterations:10/manual_time", "Launch, window's thread, none kept"),
      ("BM_LaunchOnWindowThread/1/iterations:10/manual_time", "Launch, window's thread, 2,000 kept"),
      ("BM_LaunchUntilListed/iterations:5/manual_time", "Launch until the 2,000 titles are listed"),
      ("BM_OpenLongConversation/iterations:5/manual_time", "Open the 5,000-message conversation, to its rows"),
      ("BM_SearchKeystroke/iterations:34/manual_time", "Search keystroke until filtered (mean; median in details)"),
      ("BM_StoreMessageOnWindowThread/iterations:2000", "Store a message: window's thread"),
      ("BM_StoreMessageOnFileThread/iterations:2000", "Store a message: its transaction on the file's thread")],
     [("launch with 2,000 kept within 50 ms of none kept", "BM_LaunchOnWindowThread/1/iterations:10/manual_time",
       "BM_LaunchOnWindowThread/0/iterations:10/manual_time", "within_ms", 50),
      ("opening 5,000 messages under 100 ms", "BM_OpenLongConversation/iterations:5/manual_time", None,
       "time_under_ms", 100),
      ("search keystroke median under 30 ms", "BM_SearchKeystroke/iterations:34/manual_time", None,
       "counter_under:median_ms", 30),
      ("storing a message under 2 ms on the window's thread",
       "BM_StoreMessageOnWindowThread/iterations:2000", None, "time_under_ms", 2)]),
    ("Desktop window", "ui/bench_desktop_window",
     "The real program, offscreen, in a sandbox home; the transcript in process.",
     [("BM_ProcessStartToFirstFrame/iterations:10/manual_time", "Process start → first frame"),
      ("BM_ApplicationIdleMemory/iterations:1", "Idle, main window, one conversation"),
      ("BM_LongTranscriptMemory/iterations:1", "Idle with a 10,000-message conversation shown"),
      ("BM_AppendToLongTranscript", "Append one message to that transcript, frame included"),
      ("BM_FrameOfLongTranscript", "One frame of that transcript")],
     [("first frame under 400 ms", "BM_ProcessStartToFirstFrame/iterations:10/manual_time", None,
       "time_under_ms", 400),
      ("idle under 120 MB", "BM_ApplicationIdleMemory/iterations:1", None, "counter_under:idle_MiB", 120)]),
]

KEYS = {"name", "family_index", "per_family_instance_index", "run_name", "run_type", "repetitions",
        "repetition_index", "threads", "iterations", "real_time", "cpu_time", "time_unit",
        "aggregate_name", "aggregate_unit"}
TO_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def fmt_ms(ms):
    if ms >= 1000:
        return f"{ms / 1000:.2f} s"
    if ms >= 1:
        return f"{ms:.1f} ms"
    return f"{ms * 1000:.0f} µs"


def fmt_counter(name, value):
    if abs(value) >= 1e6:
        return f"{name} {value:.3g}"
    return f"{name} {value:.4g}"


# Programs whose figures swing from one run to the next on a shared machine
# (frame times, a CPU share): run this many times, each figure the median.
RUNS = {"ui/bench_formatted_reply": 5}


def run_once(path, env):
    result = subprocess.run([path, "--benchmark_format=json"], capture_output=True, text=True, env=env)
    if result.returncode != 0:
        return None, result.stderr.strip()[-300:]
    return {b["name"]: b for b in json.loads(result.stdout)["benchmarks"]}, None


def median_of(runs):
    merged = {}
    for name, first in runs[0].items():
        same = [r[name] for r in runs if name in r]
        averaged = [k for k, v in first.items() if isinstance(v, (int, float))
                    and (k not in KEYS or k in ("real_time", "cpu_time"))]
        merged[name] = dict(first)
        merged[name].update({k: statistics.median(b[k] for b in same)
                             for k in averaged if all(k in b for b in same)})
    return merged


def run(build, program):
    path = os.path.join(build, "bench", program)
    if not os.access(path, os.X_OK):
        return None, f"not built ({program})"
    env = dict(os.environ)
    env.setdefault("QT_QPA_PLATFORM", "offscreen")
    runs = []
    for _ in range(RUNS.get(program, 1)):
        results, problem = run_once(path, env)
        if problem:
            return None, f"{program} failed: {problem}"
        runs.append(results)
    return median_of(runs), None


def judge(results, ours, reference, kind, target):
    a = results.get(ours)
    if a is None:
        return "not measured", "—"
    wall = a["real_time"] * TO_MS[a["time_unit"]]
    if kind.startswith("counter_under:"):
        counter = kind.split(":", 1)[1]
        value = a.get(counter)
        if value is None:
            return "not measured", "—"
        if counter.endswith("_ms"):
            return ("met" if value < target else "**missed**"), f"{fmt_ms(value)} (target < {fmt_ms(target)})"
        if counter.endswith("_percent"):
            return ("met" if value < target else "**missed**"), f"{value:.1f} % (target < {target} %)"
        return ("met" if value < target else "**missed**"), f"{value:.0f} MiB (target < {target} MiB)"
    if kind == "time_under_ms":
        return ("met" if wall < target else "**missed**"), f"{fmt_ms(wall)} (target < {fmt_ms(target)})"
    b = results.get(reference)
    if b is None:
        return "not measured", "—"
    ref = b["real_time"] * TO_MS[b["time_unit"]]
    if kind == "within_ms":
        extra = wall - ref
        return ("met" if extra <= target else "**missed**"), f"{fmt_ms(extra)} later (target ≤ {fmt_ms(target)})"
    ratio = wall / ref if ref else float("inf")
    if kind == "ratio_at_most":
        figure = f"{ratio:.2f}× the reference's time"
        if target is None:
            return "—", figure
        return ("met" if ratio <= target else "**missed**"), figure + f" (target ≤ {target}×)"
    if kind == "faster_by":
        speedup = ref / wall if wall else float("inf")
        return ("met" if speedup >= target else "**missed**"), f"{speedup:.1f}× faster (target ≥ {target}×)"
    if kind == "faster":
        return ("met" if wall < ref else "**missed**"), f"{ratio:.2f}× the reference's time"
    return "?", "?"


# (index of the job in whole_process.measure, label, kind, target)
WHOLE_PROCESS_TARGETS = [
    (0, "list_directory as a process under 25 ms", "time_under_ms", 25),
    (1, "read_pdf within 1.2× of pdftotext", "ratio_at_most", 1.2),
    (2, "read_xlsx ≥ 10× faster than openpyxl", "faster_by", 10),
    (3, "create_xlsx ≥ 10× faster than openpyxl", "faster_by", 10),
]


def whole_process_section(build, summary):
    title = "Whole processes"
    lines = [f"## {title}", "",
             "Each program started as a script starts it, exec to exit, beside the reference tool for the "
             "same job; the two alternate run by run. Median wall and CPU time (the child's user + "
             "system) of the runs shown. `bench/whole_process.py`.", ""]
    try:
        results = whole_process.measure(build)
    except (OSError, RuntimeError, subprocess.CalledProcessError) as problem:
        return lines + [f"(Not measured: {problem}.)", ""]
    lines += ["| Job | Wall | CPU | Reference | Wall | CPU | Runs |", "|---|---|---|---|---|---|---|"]
    for label, ours, ref_label, ref, runs in results:
        lines.append(f"| {label} | {fmt_ms(ours[0])} | {fmt_ms(ours[1])} | {ref_label} | "
                     f"{fmt_ms(ref[0])} | {fmt_ms(ref[1])} | {runs} |")
    lines += ["", "| Comparison | Figure | Target |", "|---|---|---|"]
    for index, label, kind, target in WHOLE_PROCESS_TARGETS:
        _, ours, _, ref, _ = results[index]
        figures = {"ours": {"real_time": ours[0], "time_unit": "ms"},
                   "reference": {"real_time": ref[0], "time_unit": "ms"}}
        verdict, figure = judge(figures, "ours", "reference", kind, target)
        if kind == "time_under_ms":
            figure += f"; `ls -1` {fmt_ms(ref[0])}"
        lines.append(f"| {label} | {figure} | {verdict} |")
        summary.append(f"| {title} | {label} | {verdict} |")
    return lines + [""]


def machine():
    model = "unknown processor"
    try:
        for line in open("/proc/cpuinfo"):
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    except OSError:
        pass
    memory = 0
    try:
        for line in open("/proc/meminfo"):
            if line.startswith("MemTotal"):
                memory = int(line.split()[1]) / 1024 / 1024
    except OSError:
        pass
    load = os.getloadavg()[0]
    return (f"{os.cpu_count()} cores ({model}), {memory:.0f} GiB, {platform.system()} "
            f"{platform.release()}; load average {load:.1f} when the run started")


def hand_measured_sections(path):
    """Sections measured by hand (scripts/measure-idle-cpu), carried over from the last report."""
    try:
        text = open(path).read()
    except OSError:
        return []
    kept, keep = [], False
    for line in text.splitlines():
        if line.startswith("## "):
            keep = line == "## Idle window"
        if keep:
            kept.append(line)
    return kept


def previous_report(path):
    """The last report's lines before its first section, its sections by title, and its
    targets table's rows by area."""
    try:
        text = open(path).read()
    except OSError:
        return [], {}, {}
    head, sections, title = [], {}, None
    for line in text.splitlines():
        if line.startswith("## "):
            title = line[3:]
            sections[title] = []
        if title is None:
            head.append(line)
        else:
            sections[title].append(line)
    targets = {}
    for line in sections.pop("Targets", []):
        cells = line.split(" | ")
        if line.startswith("| ") and len(cells) == 3 and not line.startswith(("| Area", "|---")):
            targets.setdefault(cells[0][2:], []).append(line)
    return head, sections, targets


def main():
    build, output, only = sys.argv[1], sys.argv[2], set(sys.argv[3:])
    carried = hand_measured_sections(output)
    old_head, old_sections, old_targets = previous_report(output)
    now = datetime.datetime.now().strftime('%Y-%m-%d %H:%M')
    lines = old_head if only and old_head else [
        "# Benchmarks", "",
        "Written by `scripts/bench` (do not edit by hand). Every reference tool is measured in the",
        "same run as the figure it stands beside. Benchmarks are never asserted by tests.", "",
        f"- Run: {now}, RelWithDebInfo build",
        f"- Machine: {machine()}", ""]
    summary = []
    for title, program, note, rows, comparisons in SECTIONS:
        if only and title not in only:
            lines += old_sections.get(title, [])
            summary += old_targets.get(title, [])
            continue
        results, problem = run(build, program)
        lines += [f"## {title}", "", f"`bench/{program}`. {note}", ""]
        if only:
            lines += [f"Run on its own {now}; {machine()}.", ""]
        if problem:
            lines += [f"(Not measured: {problem}.)", ""]
            continue
        lines += ["| Benchmark | Wall | CPU | Details |", "|---|---|---|---|"]
        for name, label in rows:
            b = results.get(name)
            if b is None:
                lines.append(f"| {label} | — | — | not in this run |")
                continue
            scale = TO_MS[b["time_unit"]]
            details = ", ".join(fmt_counter(k, v) for k, v in b.items()
                                if k not in KEYS and isinstance(v, (int, float)))
            lines.append(f"| {label} | {fmt_ms(b['real_time'] * scale)} | {fmt_ms(b['cpu_time'] * scale)} | "
                         f"{details} |")
        lines.append("")
        if comparisons:
            lines += ["| Comparison | Figure | Target |", "|---|---|---|"]
            for label, ours, reference, kind, target in comparisons:
                verdict, figure = judge(results, ours, reference, kind, target)
                lines.append(f"| {label} | {figure} | {verdict} |")
                if verdict != "—":
                    summary.append(f"| {title} | {label} | {verdict} |")
            lines.append("")
    if only and "Whole processes" not in only:
        lines += old_sections.get("Whole processes", [])
        summary += old_targets.get("Whole processes", [])
    else:
        lines += whole_process_section(build, summary)
    lines += carried
    lines += ["## Targets", "", "| Area | Target | Result |", "|---|---|---|"] + summary + [""]
    with open(output, "w") as out:
        out.write("\n".join(lines))


if __name__ == "__main__":
    main()
