#!/usr/bin/env python3
"""A throwaway RFC 3161 time-stamp server on 127.0.0.1, for checking that
signing asks the server it is given (scripts/check-packages.sh).

    timestamp-server.py FOLDER

Makes a self-signed time-stamping certificate and its key in FOLDER
(tsa-cert.pem is the root to verify the time stamps with), prints the port
it listens on, and answers each request with `openssl ts -reply` until it
is ended.
"""
import http.server
import pathlib
import subprocess
import sys

folder = pathlib.Path(sys.argv[1])
folder.mkdir(parents=True, exist_ok=True)
subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                "-subj", "/CN=TarnVel throwaway time-stamp server",
                "-addext", "extendedKeyUsage=critical,timeStamping",
                "-keyout", folder / "tsa-key.pem", "-out", folder / "tsa-cert.pem"],
               check=True, capture_output=True)
(folder / "serial").write_text("01\n")
(folder / "tsa.cnf").write_text(f"""[ tsa ]
default_tsa = tsa_config
[ tsa_config ]
serial = {folder / 'serial'}
signer_cert = {folder / 'tsa-cert.pem'}
signer_key = {folder / 'tsa-key.pem'}
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha256, sha384, sha512
accuracy = secs:1
ess_cert_id_alg = sha256
""")


class TimeStampHandler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        reply = subprocess.run(["openssl", "ts", "-reply", "-config", folder / "tsa.cnf",
                                "-queryfile", "/dev/stdin", "-out", "/dev/stdout"],
                               input=query, capture_output=True)
        self.send_response(200 if reply.returncode == 0 else 500)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply.stdout)))
        self.end_headers()
        self.wfile.write(reply.stdout)

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), TimeStampHandler)
print(server.server_address[1], flush=True)
server.serve_forever()
