#!/usr/bin/env python3
"""Signs a Windows program or DLL with Authenticode (SHA-256) through
osslsigncode, in place, for a signed `make dist` (makensis runs it on the
setup program and the uninstaller it writes).
Reproducible: the signing time is given, and make-release.py takes it from
the last commit's date, so the same certificate and sources give the same
bytes. A timestamp server's countersignature (--timestamp URL) keeps the
signature valid after the certificate expires, but holds the time it was
asked, so a timestamped file is no longer reproducible.
    sign.py [--timestamp URL] CERT PASSWORD_FILE SIGNING_TIME FILE
"""
import argparse
import os
import pathlib
import subprocess

DESCRIPTION = "QZ Search/Replace plug-in"


class SigningError(Exception):
    pass


def signing_time(root):
    """SOURCE_DATE_EPOCH when set, else the date of the last commit."""
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    result = subprocess.run(
        ["git", "-C", str(root), "log", "-1", "--format=%ct"],
        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    if result.returncode != 0 or not result.stdout.strip():
        raise SigningError("no signing time: not a git checkout; set "
                           "SOURCE_DATE_EPOCH to the sources' date")
    return int(result.stdout)


def check_files(cert, password_file):
    """A clear message for a certificate or password file that is missing."""
    for what, path in (("certificate", cert),
                       ("password file", password_file)):
        if not path:
            raise SigningError(f"no {what} given: signing needs both "
                               "SIGNING_CERT and SIGNING_PASSWORD_FILE")
        if not pathlib.Path(path).is_file():
            raise SigningError(f"the {what} {path} does not exist")


def sign(cert, password_file, time, timestamp_url, source, target):
    """Writes a signed copy of source to target; on failure leaves no
    target and says why."""
    check_files(cert, password_file)
    target = pathlib.Path(target)
    partial = target.with_name(target.name + ".signing")
    partial.unlink(missing_ok=True)  # osslsigncode 2.5 does not overwrite
    command = ["osslsigncode", "sign", "-pkcs12", str(cert),
               "-readpass", str(password_file), "-h", "sha256",
               "-n", DESCRIPTION, "-time", str(time)]
    if timestamp_url:
        command += ["-ts", timestamp_url]
    command += ["-in", str(source), "-out", str(partial)]
    result = subprocess.run(command, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, text=True)
    if result.returncode != 0 or not partial.is_file():
        partial.unlink(missing_ok=True)
        output = result.stdout
        if "Wrong password" in output or "mac verify failure" in output:
            why = f"wrong password in {password_file} for {cert}"
        elif "PKCS#12" in output or "key or certificates" in output:
            why = f"{cert} is not a PKCS#12 (.pfx) file with a key"
        elif timestamp_url and "imestamp" in output:
            why = f"the timestamp server {timestamp_url} did not answer"
        else:
            why = "osslsigncode failed"
        details = "".join(f"\n  {line}" for line in output.splitlines())
        raise SigningError(f"could not sign {source}: {why}{details}")
    os.replace(partial, target)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--timestamp", default="")
    parser.add_argument("cert")
    parser.add_argument("password_file")
    parser.add_argument("time", type=int)
    parser.add_argument("file")
    args = parser.parse_args()
    try:
        sign(args.cert, args.password_file, args.time, args.timestamp,
             args.file, args.file)
    except SigningError as error:
        raise SystemExit(f"sign.py: {error}")


if __name__ == "__main__":
    main()
