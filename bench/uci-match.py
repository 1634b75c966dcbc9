#!/usr/bin/env python3
"""A short match between `norvane-cli uci` and a UCI peer from Debian's archive.

Usage: bench/uci-match.py [NORVANE_CLI] [--games N] [--movetime MS | --tc MIN+INC]
                          [--peer-elo ELO] [--norvane-option NAME=VALUE ...] [--moves OUT]

--tc plays with clocks: each engine is given wtime/btime/winc/binc, the time from `go` to its
bestmove is taken from its clock, and a clock that goes below zero loses the game on time.
--moves writes each game's moves (coordinates) to a file, one game a line.

--norvane-option sets a UCI option of Norvane, for example "Skill Level=0" for the beginner.
--peer-norvane-option makes the peer a second Norvane with that option instead of Stockfish,
to rate levels below the weakest Stockfish setting against a level rated against Stockfish.

The peer is Stockfish (package `stockfish`, installed here when missing and when run as
root), limited to a playing strength with UCI_LimitStrength. The referee is norvane-cli
itself: `position` plays the moves (refusing an illegal one) and tells how the game stands:
checkmate, stalemate, a dead position, and a threefold repetition or fifty moves, which end the game
as a draw here. A game of 300 plies is drawn. Not part of `make test`.
"""
import argparse
import os
import shutil
import subprocess
import sys
import time

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

    def move(self, moves, go):
        """Sends the position and go; answers the move and the seconds until it came."""
        self.send("position startpos" + (" moves " + " ".join(moves) if moves else ""))
        started = time.monotonic()
        self.send("go " + go)
        answer = self.wait("bestmove").split()
        return (answer[1] if len(answer) > 1 else "(none)"), time.monotonic() - started

    def quit(self):
        self.send("quit")
        self.proc.wait(timeout=10)


def cli(norvane, *args):
    out = subprocess.run([norvane, *args], capture_output=True, text=True)
    return out.returncode, out.stdout.strip().splitlines()


def play(norvane, white, black, movetime, clock):
    """Plays one game; answers '1-0', '0-1' or '1/2-1/2', the reason, the moves and the least
    time each side had left after a move, in seconds (None without clocks)."""
    moves = []
    left = [clock[0], clock[0]] if clock else None
    least = [clock[0], clock[0]] if clock else None
    while True:
        code, lines = cli(norvane, "position", *moves)
        fields = lines[0][len("fen: "):].split()
        status = dict(line.split(" ", 1) for line in lines if line.startswith(("outcome ", "claimable ")))
        outcome, claimable = status.get("outcome", "none"), status.get("claimable", "none")
        if outcome == "checkmate":
            return ("0-1" if fields[1] == "w" else "1-0"), "checkmate", moves, least
        if outcome != "none":
            return "1/2-1/2", outcome, moves, least
        if claimable != "none":
            return "1/2-1/2", claimable, moves, least
        if len(moves) >= 300:
            return "1/2-1/2", "300 plies", moves, least
        side = 0 if fields[1] == "w" else 1
        engine = white if side == 0 else black
        if clock:
            go = f"wtime {int(left[0] * 1000)} btime {int(left[1] * 1000)} " \
                 f"winc {int(clock[1] * 1000)} binc {int(clock[1] * 1000)}"
        else:
            go = f"movetime {movetime}"
        move, spent = engine.move(moves, go)
        loses = "0-1" if side == 0 else "1-0"
        if clock:
            left[side] -= spent
            least[side] = min(least[side], left[side])
            if left[side] < 0:
                return loses, f"loss on time ({left[side]:.3f} s)", moves, least
            left[side] += clock[1]
        if cli(norvane, "position", *moves, move)[0] != 0:
            return loses, f"illegal move {move}", moves, least
        moves.append(move)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("norvane", nargs="?", default=os.path.join(HERE, "..", "build", "norvane-cli"))
    parser.add_argument("--games", type=int, default=4)
    parser.add_argument("--movetime", type=int, default=200)
    parser.add_argument("--tc", help="minutes+increment in seconds, for example 3+2")
    parser.add_argument("--moves", help="file to write each game's moves to")
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
    clock = None
    if args.tc:
        minutes, increment = args.tc.split("+")
        clock = (float(minutes) * 60, float(increment))
    log = open(args.moves, "w") if args.moves else None
    score = 0.0
    for game in range(args.games):
        norvane_white = game % 2 == 0
        white, black = (norvane, peer) if norvane_white else (peer, norvane)
        for engine in (norvane, peer):
            engine.send("ucinewgame")
            engine.send("isready")
            engine.wait("readyok")
        result, reason, moves, least = play(args.norvane, white, black, args.movetime, clock)
        if log:
            log.write(f"game {game + 1} {result} ({reason}): {' '.join(moves)}\n")
            log.flush()
        points = {"1-0": 1.0, "0-1": 0.0, "1/2-1/2": 0.5}[result]
        score += points if norvane_white else 1.0 - points
        side = "white" if norvane_white else "black"
        plies = f", {len(moves)} plies"
        clocks = ""
        if clock:
            mine, theirs = least if norvane_white else reversed(least)
            clocks = f", least time left: Norvane {mine:.2f} s, peer {theirs:.2f} s"
        print(f"game {game + 1}: Norvane {side}: {result} ({reason}{plies}{clocks})", flush=True)
    norvane.quit()
    peer.quit()
    settings = ", ".join(args.norvane_option) or "full strength"
    control = f", clocks {args.tc}" if clock else f", {args.movetime} ms a move"
    print(f"score {score} of {args.games} ({settings}{control}) against {peer_name}")


if __name__ == "__main__":
    main()
