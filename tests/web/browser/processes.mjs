// The simulator and the program as the browser test starts them.
import { spawn } from "node:child_process";
import net from "node:net";

export function freePort() {
  return new Promise((resolve, reject) => {
    const server = net.createServer();
    server.on("error", reject);
    server.listen(0, "0.0.0.0", () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

// The simulator on TCP; restarted on the port it had.
export class Simulator {
  constructor(binary) { this.binary = binary; }
  start(port) {
    this.child = spawn(this.binary, ["--tcp", String(port)], { stdio: ["ignore", "pipe", "inherit"] });
    return new Promise((resolve, reject) => {
      let out = "";
      this.child.stdout.on("data", (chunk) => {
        out += chunk;
        const match = /tcp (\d+)/.exec(out);
        if (match) resolve(Number(match[1]));
      });
      this.child.on("exit", (code) => reject(new Error(`the simulator ended (${code})`)));
    });
  }
  stop() {
    if (this.child && this.child.exitCode === null) this.child.kill("SIGKILL");
  }
}

// The program, offscreen, linking at start; up once its page answers.
export class Program {
  constructor(binary, ports) { this.binary = binary; this.ports = ports; }
  async start() {
    this.child = spawn(this.binary, ["--connect"], {
      stdio: ["ignore", "ignore", "inherit"],
      env: { ...process.env, QT_QPA_PLATFORM: "offscreen", ASAN_OPTIONS: "detect_leaks=0" },
    });
    const end = Date.now() + 30000;
    while (Date.now() < end) {
      if (this.child.exitCode !== null) throw new Error(`the program ended (${this.child.exitCode})`);
      try {
        const response = await fetch(`http://127.0.0.1:${this.ports.http}/config.json`);
        if (response.ok) return;
      } catch { /* not listening yet */ }
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
    throw new Error("the program's page did not answer within 30 s");
  }
  async stop() {
    if (!this.child || this.child.exitCode !== null) return;
    const ended = new Promise((resolve) => this.child.once("exit", resolve));
    this.child.kill("SIGTERM");
    await ended;
  }
}
