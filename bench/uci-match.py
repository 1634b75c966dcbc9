#!/usr/bin/env python3
"""A short match between `norvane-cli uci` and a UCI peer from Debian's archive.

Usage: bench/uci-match.py [NORVANE_CLI] [--games N] [--movetime MS] [--peer-elo ELO]
                          [--norvane-option NAME=VALUE ...]

--norvane-option sets a UCI option of Norvane, for example "Skill Level=0" for the beginner.
--peer-norvane-option makes the peer a second Norvane with that option instead of Stockfish,
to rate levels below the weakest Stockfish setting against a level rated against Stockfish.

The peer is Stockfish (package `stockfish`, installed here when missing and when run as
root), limited to a playing strength with UCI_LimitStrength. The referee is norvane-cli
itself: `position` gives the FEN after the moves and `think` tells whether the side to move
has a legal move, and if not, checkmate from stalemate. Draws: threefold repetition, the fifty-move rule,
or 300 plies. Not part of `make test`.
"""
import argparse
import os
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
PEER = "/usr/games/stockfish"


def ensure_peer():
    if os.path.exists(PEER) or shutil.which("stockfish"):
        return shutil.which("stockfish") or PEER
    if os.geteuid() != 0:
        sys.exit("uci-match: install the Debian package stockfish first")
    subprocess.run(["apt-get", "install", "-y", "-qq", "--no-install-recommends", "stockfish"],
                   check=True)
    return PEER


class Engine:
    def __init__(self, command, options=()):
        self.proc = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     text=True, bufsize=1)
        self.send("uci")
        self.wait("uciok")
        for name, value in options:
            self.send(f"setoption name {name} value {value}")
        self.send("isready")
        self.wait("readyok")

    def send(self, line):
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()

    def wait(self, prefix):
        while True:
            line = self.proc.stdout.readline()
            if not line:
                raise RuntimeError("engine closed its output")
            if line.startswith(prefix):
                return line.strip()

    def move(self, moves, movetime):
        self.send("position startpos" + (" moves " + " ".join(moves) if moves else ""))
        self.send(f"go movetime {movetime}")
        return self.wait("bestmove").split()[1]

    def quit(self):
        self.send("quit")
        self.proc.wait(timeout=10)


def cli(norvane, *args):
    out = subprocess.run([norvane, *args], capture_output=True, text=True)
    return out.returncode, out.stdout.strip().splitlines()


def play(norvane, white, black, movetime):
    """Plays one game; answers '1-0', '0-1' or '1/2-1/2' and the reason."""
    moves, seen = [], {}
    while True:
        code, lines = cli(norvane, "position", *moves)
        fen = lines[0][len("fen: "):]
        fields = fen.split()
        key = " ".join(fields[:4])
        seen[key] = seen.get(key, 0) + 1
        if seen[key] >= 3:
            return "1/2-1/2", "repetition"
        if int(fields[4]) >= 100:
            return "1/2-1/2", "fifty moves"
        if len(moves) >= 300:
            return "1/2-1/2", "300 plies"
        # "bestmove none" only when the side to move has no legal move; the score tells mate.
        _, think = cli(norvane, "think", *moves, "--time-ms", "1", "--book", "/nonexistent")
        if think[-1] == "bestmove none":
            if "score -32767" not in think:
                return "1/2-1/2", "stalemate"
            return ("0-1" if fields[1] == "w" else "1-0"), "checkmate"
        engine = white if fields[1] == "w" else black
        move = engine.move(moves, movetime)
        if cli(norvane, "position", *moves, move)[0] != 0:
            return ("0-1" if fields[1] == "w" else "1-0"), f"illegal move {move}"
        moves.append(move)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("norvane", nargs="?", default=os.path.join(HERE, "..", "build", "norvane-cli"))
    parser.add_argument("--games", type=int, default=4)
    parser.add_argument("--movetime", type=int, default=200)
    parser.add_argument("--peer-elo", type=int, default=1500)
    parser.add_argument("--norvane-option", action="append", default=[])
    parser.add_argument("--peer-norvane-option", action="append", default=[])
    args = parser.parse_args()

    options = [tuple(option.split("=", 1)) for option in args.norvane_option]
    norvane = Engine([args.norvane, "uci"], options)
    if args.peer_norvane_option:
        peer_options = [tuple(option.split("=", 1)) for option in args.peer_norvane_option]
        peer = Engine([args.norvane, "uci"], peer_options)
        peer_name = "Norvane (" + ", ".join(args.peer_norvane_option) + ")"
    else:
        peer = Engine([ensure_peer()], [("UCI_LimitStrength", "true"), ("UCI_Elo", args.peer_elo)])
        peer_name = f"Stockfish at Elo {args.peer_elo}"
    score = 0.0
    for game in range(args.games):
        norvane_white = game % 2 == 0
        white, black = (norvane, peer) if norvane_white else (peer, norvane)
        result, reason = play(args.norvane, white, black, args.movetime)
        points = {"1-0": 1.0, "0-1": 0.0, "1/2-1/2": 0.5}[result]
        score += points if norvane_white else 1.0 - points
        side = "white" if norvane_white else "black"
        print(f"game {game + 1}: Norvane {side}: {result} ({reason})", flush=True)
    norvane.quit()
    peer.quit()
    settings = ", ".join(args.norvane_option) or "full strength"
    print(f"score {score} of {args.games} ({settings}) against {peer_name}")


if __name__ == "__main__":
    main()
