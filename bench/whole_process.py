"""Whole-process timings: each program started the way a script starts it,
from exec to exit, beside the reference tool for the same job, alternating
run by run so both meet the same machine. Medians of several runs.

Used by report.py; runs on Debian's /usr/bin/python3 (openpyxl is a Debian module).
"""

import json
import os
import statistics
import subprocess
import tempfile
import time
import zipfile

PYTHON = "/usr/bin/python3"

OPENPYXL_READ = (
    "import sys, openpyxl\n"
    "ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
    "print(sum(1 for row in ws.iter_rows() for c in row if c.value is not None))\n")

# The same job as create_xlsx: the same JSON on standard input, one sheet out.
OPENPYXL_WRITE = (
    "import json, sys, openpyxl\n"
    "args = json.load(sys.stdin)\n"
    "wb = openpyxl.Workbook()\n"
    "ws = wb.active\n"
    "for row in json.loads(args['data']):\n"
    "    ws.append(row)\n"
    "wb.save(args['path'])\n")

SPREADSHEET_NS = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
RELS_NS = "http://schemas.openxmlformats.org/package/2006/relationships"
DOC_RELS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"


def write_workbook(path):
    """The in-process benchmark's workbook (bench/tools/spreadsheet_workload.h)."""
    rows, shared, count = [], [], 0
    for r in range(1, 10001):
        cells = []
        for c in range(10):
            ref = f"{chr(65 + c)}{r}"
            if c % 2 == 0:
                shared.append(f"<si><t>Customer {r} note {c}</t></si>")
                cells.append(f'<c r="{ref}" t="s"><v>{count}</v></c>')
                count += 1
            else:
                cells.append(f'<c r="{ref}"><v>{r * 1.25 + c:g}</v></c>')
        rows.append(f'<row r="{r}">' + "".join(cells) + "</row>")
    head = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
    parts = {
        "[Content_Types].xml": head + '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
        '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
        '<Default Extension="xml" ContentType="application/xml"/>'
        '<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>'
        '<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>'
        '<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>'
        "</Types>",
        "_rels/.rels": head + f'<Relationships xmlns="{RELS_NS}"><Relationship Id="rId1" '
        f'Type="{DOC_RELS}/officeDocument" Target="xl/workbook.xml"/></Relationships>',
        "xl/workbook.xml": head + f'<workbook xmlns="{SPREADSHEET_NS}" xmlns:r="{DOC_RELS}"><sheets>'
        '<sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>',
        "xl/_rels/workbook.xml.rels": head + f'<Relationships xmlns="{RELS_NS}">'
        f'<Relationship Id="rId1" Type="{DOC_RELS}/worksheet" Target="worksheets/sheet1.xml"/>'
        f'<Relationship Id="rId2" Type="{DOC_RELS}/sharedStrings" Target="sharedStrings.xml"/>'
        "</Relationships>",
        "xl/worksheets/sheet1.xml": head + f'<worksheet xmlns="{SPREADSHEET_NS}"><sheetData>'
        + "".join(rows) + "</sheetData></worksheet>",
        "xl/sharedStrings.xml": head + f'<sst xmlns="{SPREADSHEET_NS}">' + "".join(shared) + "</sst>",
    }
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as package:
        for name, text in parts.items():
            package.writestr(name, text)


def make_inputs(work, tool):
    inputs = {"folder": os.path.join(work, "folder"), "workbook": os.path.join(work, "cells.xlsx"),
              "pdf": os.path.join(work, "hundred.pdf"), "table": os.path.join(work, "table.json")}
    os.mkdir(inputs["folder"])
    for i in range(20):
        open(os.path.join(inputs["folder"], f"file{i:02}.txt"), "w").close()
    write_workbook(inputs["workbook"])
    sentence = "The committee reviewed the budget and approved the plan for the year."
    slides = [{"title": f"Chapter {p}", "bullets": [f"{sentence} ({b})" for b in range(14)]}
              for p in range(1, 101)]
    subprocess.run([tool, "create_pdf_slides", json.dumps({"path": inputs["pdf"], "slides": json.dumps(slides)})],
                   check=True, stdout=subprocess.DEVNULL)
    # The in-process benchmark's cells (bench/tools/bench_document_writers.cpp).
    data = [[f"Customer {r}", str(r), f"{r * 1.25:.2f}", f"{r % 97}e3", f"Note & remark <{r % 13}>",
             f"2024-05-{1 + r % 28}", str(-r), "北京", "12%", "007"] for r in range(10000)]
    with open(inputs["table"], "w", encoding="utf-8") as out:
        json.dump({"path": os.path.join(work, "written.xlsx"),
                   "data": json.dumps(data, ensure_ascii=False)}, out, ensure_ascii=False)
    return inputs


def timed(command, stdin_path):
    """Wall and CPU milliseconds of one run (CPU: the child's user + system time)."""
    stdin = open(stdin_path, "rb") if stdin_path else subprocess.DEVNULL
    start = time.perf_counter()
    child = subprocess.Popen(command, stdin=stdin, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    wall = (time.perf_counter() - start) * 1000
    if stdin_path:
        stdin.close()
    if os.waitstatus_to_exitcode(status) != 0:
        raise RuntimeError(f"{command[0]} failed")
    return wall, (usage.ru_utime + usage.ru_stime) * 1000


def measure(build, runs_fast=21, runs_slow=7):
    """[(label, ours, reference, kind, target, ours_figures, reference_figures)]."""
    tool = os.path.join(build, "src", "cli", "emberglass-tool")
    with tempfile.TemporaryDirectory() as work:
        inputs = make_inputs(work, tool)
        jobs = [
            ("`emberglass-tool list_directory`, 20 files", [tool, "list_directory", json.dumps({"path": inputs["folder"]})], None,
             "`ls -1`, same folder", ["ls", "-1", inputs["folder"]], None, runs_fast),
            ("`emberglass-tool read_pdf`, 100 pages", [tool, "read_pdf", json.dumps({"path": inputs["pdf"]})], None,
             "`pdftotext FILE -`", ["pdftotext", inputs["pdf"], "-"], None, runs_fast),
            ("`emberglass-tool read_xlsx`, 100,000 cells", [tool, "read_xlsx", json.dumps({"path": inputs["workbook"]})], None,
             "openpyxl load + iterate", [PYTHON, "-c", OPENPYXL_READ, inputs["workbook"]], None, runs_slow),
            ("`emberglass-tool create_xlsx -`, 100,000 cells on stdin", [tool, "create_xlsx", "-"], inputs["table"],
             "openpyxl, same JSON on stdin", [PYTHON, "-c", OPENPYXL_WRITE], inputs["table"], runs_slow),
        ]
        results = []
        for label, ours, ours_in, ref_label, reference, ref_in, runs in jobs:
            timed(ours, ours_in), timed(reference, ref_in)  # warm the page cache
            a, b = [], []
            for _ in range(runs):
                a.append(timed(ours, ours_in))
                b.append(timed(reference, ref_in))
            median = lambda values, i: statistics.median(v[i] for v in values)
            results.append((label, (median(a, 0), median(a, 1)), ref_label, (median(b, 0), median(b, 1)), runs))
    return results
