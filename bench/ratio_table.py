#!/usr/bin/env python3
"""Turns the JSON output of codec_benchmark into the Markdown table of
docs/performance.md: median throughput of every codec per document and
direction, ajson's ratio to each peer, and whether the goals hold.

    codec_benchmark --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \\
        --benchmark_out=codec.json --benchmark_out_format=json
    python3 bench/ratio_table.py codec.json
"""

import json
import sys

PEERS = ("rapidjson", "nlohmann", "simdjson")

# ajson / peer must reach at least this much; against simdjson the aim is parity.
GOALS = {"rapidjson": 1.5, "nlohmann": 5.0, "simdjson": 1.0}

MIB = 1024.0 * 1024.0


def median_rates(report):
    """{(direction, document, codec): MB/s} from the median aggregates."""
    rates = {}
    for run in report["benchmarks"]:
        if run.get("aggregate_name") != "median":
            continue
        direction, document, codec = run["run_name"].split("/")
        rates[(direction, document, codec)] = run["bytes_per_second"] / MIB
    return rates


# The order in which codec_benchmark registers its documents; a run with
# random interleaving reports them in any order.
DOCUMENT_ORDER = ("layers16", "cursor_reply", "cutout_report4", "assess_reply16")


def documents_in_order(rates, direction):
    present = {document for (d, document, _codec) in rates if d == direction}
    known = [document for document in DOCUMENT_ORDER if document in present]
    return known + sorted(present - set(known))


def cell(rates, direction, document, peer):
    ours = rates[(direction, document, "ajson")]
    theirs = rates.get((direction, document, peer))
    if theirs is None:
        return "—", True
    ratio = ours / theirs
    return f"{theirs:.0f} ({ratio:.2f}x)", ratio >= GOALS[peer]


def table(rates):
    lines = [
        "| Direction | Document | ajson MB/s | RapidJSON MB/s (ours/peer) "
        "| nlohmann MB/s (ours/peer) | simdjson MB/s (ours/peer) | Goals |",
        "|---|---|---:|---:|---:|---:|---|",
    ]
    for direction in ("decode", "encode"):
        for document in documents_in_order(rates, direction):
            ours = rates[(direction, document, "ajson")]
            cells, met = [], []
            for peer in PEERS:
                text, ok = cell(rates, direction, document, peer)
                cells.append(text)
                if not ok:
                    met.append(peer)
            verdict = "met" if not met else "missed vs " + ", ".join(met)
            lines.append(f"| {direction} | {document} | {ours:.0f} | " + " | ".join(cells) + f" | {verdict} |")
    return "\n".join(lines)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: ratio_table.py BENCHMARK_JSON")
    with open(sys.argv[1], encoding="utf-8") as f:
        print(table(median_rates(json.load(f))))


if __name__ == "__main__":
    main()
