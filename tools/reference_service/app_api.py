"""The application-information answer of the sample application StarlitPad.

The installer asks GET /app_api/getapp_1?app_id=1&secret_key=K&agent_id=N and
reads a JSON object with `code` (1 = success), `content` and `data`. Answers
are encoded in code page 936 (GBK) unless a scenario sends another encoding.

Scenarios (/scenario/NAME/app_api/getapp_1?...) give other answers to the
same, equally checked, query: add one by writing a function that takes the
normal answer and returns the answer to send (a dict, raw bytes, or an
Encoded answer with its own encoding and Content-Type), and
listing it in SCENARIOS.
"""

import copy
import json
import re

APP_ID = "1"
DEFAULT_SECRET_KEY = "Lx7Qp2Zr9Wm4Tn6Vb1Hc8Jd3Ks5Yf0Ga"
CONTENT_TYPE = "application/json; charset=GBK"


def sample_application(host, agent_id, program=None):
    """The `data` object of StarlitPad; addresses point back at the host the
    request arrived with. `program` ({"sha256": ..., "size": ...}) describes
    the served StarlitPad.exe, published with the current version when the
    service has the file."""
    base = "http://" + host
    data = {
        "id": 1,
        "name": "StarlitPad",
        "tryout_time": 30,
        "tryout_points": 100,
        "icon": base + "/files/logo.ico",
        "unbind_dec_time": 0,
        "unbind_dec_points": 0,
        "unbind_dec_score": 0,
        "agent_app": {
            "agent_id": agent_id,
            "app_name": "星光记事本",
            "app_icon": base + "/files/logo.ico",
            "agent_model": [
                {"id": 1, "name": "客服电话", "value": "400-000-0000"},
                {"id": 2, "name": "官方网站", "value": base + "/"},
            ],
        },
        "down_model": [
            {
                "model_id": 1,
                "name": "正式版",
                "value": [
                    {
                        "id": 11,
                        "address": base + "/files/StarlitPad.exe",
                        "is_now": 1,
                        "is_up": 1,
                        "version": "1.2.0",
                        "up_log": "新增夜间模式；修复保存时的崩溃。",
                    },
                ],
            },
        ],
        "file_model": [
            {"id": 1, "name": "使用说明", "value": "打开即可使用。"},
        ],
    }
    if program is not None:
        data["down_model"][0]["value"][0].update(sha256=program["sha256"], size=program["size"])
    return data


def _failure(message):
    return {"code": 0, "content": message, "data": None}


def _credentials_problem(params, secret_key):
    """The message for a query a real service would refuse, or None."""
    if params.get("app_id") != APP_ID:
        return "应用不存在"
    if params.get("secret_key") != secret_key:
        return "密钥错误"
    agent = params.get("agent_id", "")
    if not re.fullmatch(r"[0-9]{1,9}", agent) or int(agent) == 0:
        return "代理编号无效"
    return None


# --- scenarios -------------------------------------------------------------

def _several_versions(answer):
    """Two current versions in the first model (the last one counts) and a
    second model that must never be looked at."""
    data = answer["data"]
    base = data["icon"].rsplit("/files/", 1)[0]
    first = data["down_model"][0]["value"]
    first[0].update(version="1.0", address=base + "/files/StarlitPad-1.0.exe")
    first.append({"id": 12, "address": base + "/files/StarlitPad-1.1.exe", "is_now": 1,
                  "is_up": 1, "version": "1.1", "up_log": "第二个当前版本"})
    first.append({"id": 13, "address": base + "/files/StarlitPad-0.9.exe", "is_now": 0,
                  "is_up": 0, "version": "0.9", "up_log": "旧版本"})
    data["down_model"].append({"model_id": 2, "name": "测试版", "value": [
        {"id": 21, "address": base + "/files/StarlitPad-beta.exe", "is_now": 1,
         "is_up": 1, "version": "2.0-beta", "up_log": "测试版"}]})
    return answer


def _no_versions(answer):
    """A successful answer without any download model."""
    del answer["data"]["down_model"]
    return answer


def _refused(answer):
    """The service refuses an otherwise correct query."""
    return _failure("服务维护中，请稍后再试")


def _fractional_code(answer):
    """code 1.9, which the installer truncates to 1."""
    answer["code"] = 1.9
    return answer


def _malformed(answer):
    """A body that is not JSON: the answer cut off in the middle."""
    whole = _encode(answer)
    return whole[: len(whole) // 2]


def _no_data(answer):
    """Success without a data object: every member stays empty."""
    del answer["data"]
    return answer


def _empty_versions(answer):
    """A download model with no versions at all."""
    answer["data"]["down_model"][0]["value"] = []
    return answer


def _empty_current_version(answer):
    """The last current entry has no version text, although an earlier one has."""
    value = answer["data"]["down_model"][0]["value"]
    value.append(dict(value[0], id=12, version="", address=value[0]["address"] + "?empty"))
    return answer


def _wrong_types(answer):
    """Members of the wrong JSON types: a number for a text, an object for a
    list, texts for numbers."""
    data = answer["data"]
    data["tryout_time"] = {"days": 30}
    data["file_model"] = {"id": 1}
    version = data["down_model"][0]["value"][0]
    version["is_now"] = "1"
    version["id"] = 11.9
    data["agent_app"]["agent_model"] = "none"
    return answer


def _agent_as_app_name(answer):
    """The agent id the query carried, shown as the display name."""
    agent_app = answer["data"]["agent_app"]
    agent_app["app_name"] = "agent %d" % agent_app["agent_id"]
    return answer


# Bytes per second of the slow download: the sample program takes about 20 s,
# long enough for a person, or a test, to act while it runs; its blocks of
# 20 KiB still arrive every few seconds, and the window answers between them.
SLOW_DOWNLOAD_RATE = 8000


def _download_with(answer, query):
    """The current version's address with the fault parameters of the query
    and a log tag naming the agent, so that each stamped installer's download
    requests can be read back from /_log?tag=agent-N."""
    data = answer["data"]
    agent = data["agent_app"]["agent_id"]
    for version in data["down_model"][0]["value"]:
        version["address"] += "?" + "&".join(query + ["tag=agent-%d" % agent])
    return answer


def _slow_download(answer):
    """The sample program trickles (SLOW_DOWNLOAD_RATE bytes per second)."""
    return _download_with(answer, ["rate=%d" % SLOW_DOWNLOAD_RATE])


# The paused download: the server falls silent after PAUSE_AT bytes for
# PAUSE_SECONDS, then sends the rest, so that a question asked during the
# pause is still open when the data comes again.
PAUSE_AT = 30000
PAUSE_SECONDS = 4


def _paused_download(answer):
    """The sample program; its server pauses PAUSE_SECONDS after PAUSE_AT bytes."""
    return _download_with(answer, ["pause=%d" % PAUSE_AT, "pause_for=%d" % PAUSE_SECONDS])


def _signed_download(answer):
    """The current version is /files/SignedStarlitPad.exe, whichever signed (or
    unsigned) copy a test put into the service's data folder; no checksum."""
    return _version_at(answer, lambda base: base + "/files/SignedStarlitPad.exe")


def _big_signed_download(answer):
    """The current version is /files/BigSignedStarlitPad.exe, the benchmark's
    signed 200 MiB program in the service's data folder; no checksum."""
    return _version_at(answer, lambda base: base + "/files/BigSignedStarlitPad.exe")


def _logged_download(answer):
    """The sample program at full speed, its requests logged by agent."""
    return _download_with(answer, [])


def _current_version(answer):
    return answer["data"]["down_model"][0]["value"][0]


def _wrong_checksum(answer):
    """The published SHA-256 is another file's (its last digit changed)."""
    version = _current_version(answer)
    published = version.get("sha256", "0" * 64)
    version["sha256"] = published[:-1] + ("1" if published[-1] != "1" else "2")
    return answer


def _wrong_size(answer):
    """The published size is one byte more than the file's."""
    version = _current_version(answer)
    version["size"] = version.get("size", 0) + 1
    return answer


def _malformed_checksum(answer):
    """A SHA-256 one digit short: no checksum at all, and must not pass as none."""
    version = _current_version(answer)
    version["sha256"] = version.get("sha256", "0" * 64)[:-1]
    return answer


def _unchecked(answer):
    """The version without `sha256` and `size`, as older services answer."""
    version = _current_version(answer)
    version.pop("sha256", None)
    version.pop("size", None)
    return answer


def _text_size(answer):
    """A `size` of another meaning beside the right SHA-256: a text, "35.2M"."""
    _current_version(answer)["size"] = "35.2M"
    return answer


def _fractional_size(answer):
    """A `size` of another meaning beside the right SHA-256: 35.2 (megabytes)."""
    _current_version(answer)["size"] = 35.2
    return answer


def _space_in_download(answer):
    """The current version is a 300 kB blob whose address has a space in its
    path and in its query, as it stands (`.../blob/300000/Starlit Pad.exe`),
    logged by agent."""
    agent = answer["data"]["agent_app"]["agent_id"]
    return _version_at(answer, lambda base: "%s/blob/%d/Starlit Pad.exe?name=a b&tag=agent-%d"
                       % (base, SPACE_PROGRAM_SIZE, agent))


# The size of the blob the space_in_download scenario serves.
SPACE_PROGRAM_SIZE = 300000


def _tagged_download(answer):
    """The sample program served with `ETag: "starlit-1"`, logged by agent."""
    return _download_with(answer, ["etag=starlit-1"])


def _dated_download(answer):
    """The sample program served with a Last-Modified date, logged by agent."""
    return _download_with(answer, ["last_modified=1"])


def _stalled_download(answer):
    """A 2 MB program whose server stops sending after 100 kB and holds the
    connection open."""
    return _version_at(answer, lambda base: base + "/blob/2000000/StarlitPad.exe?stall=100000")


# The benchmarks' downloads: a 200 MiB program from this service, or from the
# web server on the port after this one.
BENCH_PROGRAM_SIZE = 200 * 1024 * 1024


def _big_download(answer):
    """A 200 MiB program, generated."""
    return _version_at(answer, lambda base: "%s/blob/%d/StarlitPad.exe" % (base, BENCH_PROGRAM_SIZE))


def _next_port_download(answer):
    """The program from the web server on the port after this service's."""
    def address(base):
        host, _, port = base[len("http://"):].rpartition(":")
        return "http://%s:%d/StarlitPad.exe" % (host, int(port or 80) + 1)
    return _version_at(answer, address)


def _version_at(answer, address_of):
    """The current version at another address; the sample program's
    published size and checksum do not describe it, so none are published."""
    version = _unchecked(answer)["data"]["down_model"][0]["value"][0]
    base = version["address"][:version["address"].index("/files/")]
    version["address"] = address_of(base)
    return answer


def _rewritten_address(rewrite):
    """A scenario that changes the icon's or the current version's address."""
    def icon(answer):
        agent_app = answer["data"]["agent_app"]
        agent_app["app_icon"] = rewrite(agent_app["app_icon"])
        return answer

    def download(answer):
        for version in answer["data"]["down_model"][0]["value"]:
            version["address"] = rewrite(version["address"])
        return answer
    return icon, download


def _under(prefix):
    """The same address with `prefix` put before its path."""
    def rewrite(address):
        scheme, rest = address.split("://", 1)
        host, path = rest.split("/", 1)
        return "%s://%s/%s/%s" % (scheme, host, prefix, path)
    return rewrite


# Faults of the addresses the answer gives: each one for the icon
# (`KIND_icon`) and for the current version (`KIND_download`).
ADDRESS_FAULTS = {
    "loop": _under("loop"),
    "stall": _under("stall"),
    "crlf": lambda address: address + "?x=1\r\nX-Injected: yes",
    "chunked_cut": lambda address: address + "?chunked_cut=30000",
    "ranged_cut": lambda address: address + "?no_length=1&drop=30000",
}

# More version entries than any real answer, the whole answer still within
# the installer's 1 MiB limit; the last one is the current version.
MANY_VERSIONS = 60000


def _many_versions(answer):
    """MANY_VERSIONS entries in the first model; only the last is current."""
    value = answer["data"]["down_model"][0]["value"]
    current = value[0]
    value[:] = [{"id": i} for i in range(MANY_VERSIONS - 1)] + [current]
    return answer


def _control_characters(answer):
    """Release notes and a file model entry holding the control characters
    0x01 and 0x02 among their text."""
    answer["data"]["down_model"][0]["value"][0]["up_log"] = "a\x01b\x02c\x02\x01"
    answer["data"]["file_model"][0]["value"] = "\x01"
    return answer


# Application names that must never become a file, folder or process name.
HOSTILE_NAMES = {
    "traversal": "..\\..\\Windows\\StarlitPad",
    "slash": "Star/Pad",
    "drive": "C:StarlitPad",
    "device": "CON",
    "system_process": "explorer",
    "quote": 'Star"Pad',
    "line_break": "Star\r\nPad",
    "trailing_dot": "StarlitPad.",
    "empty": "",
}


def _hostile_name(name):
    def scenario(answer):
        answer["data"]["name"] = name
        return answer
    scenario.__doc__ = "The application is named %r." % name
    return scenario


class Encoded:
    """An answer sent in another encoding than the usual GBK, under a
    Content-Type of its own."""

    def __init__(self, answer, codec, content_type, byte_order_mark=b""):
        self.answer = answer
        self.codec = codec
        self.content_type = content_type
        self.byte_order_mark = byte_order_mark

    def body(self):
        return self.byte_order_mark + json.dumps(self.answer, ensure_ascii=False).encode(self.codec)


UTF8_BOM = b"\xef\xbb\xbf"


def _encoded(codec, content_type, byte_order_mark=b"", app_name=None):
    def scenario(answer):
        if app_name is not None:
            answer["data"]["agent_app"]["app_name"] = app_name
        return Encoded(answer, codec, content_type, byte_order_mark)
    scenario.__doc__ = "The answer in %s%s as %r." % (codec, " after a byte-order mark" if byte_order_mark else "",
                                                      content_type)
    return scenario


# The same answer in the encodings services use, declared or not.
ENCODING_SCENARIOS = {
    "gbk_without_charset": _encoded("gbk", "application/json"),
    "utf8_with_charset": _encoded("utf-8", "application/json; charset=utf-8"),
    "utf8_with_bom": _encoded("utf-8", "application/json", UTF8_BOM),
    "utf8_without_charset": _encoded("utf-8", "application/json"),
    "unknown_charset": _encoded("gbk", "application/json; charset=x-unknown"),
    # A GBK answer behind a web server that calls every answer UTF-8.
    "gbk_labelled_utf8": _encoded("gbk", "application/json; charset=utf-8"),
    # A GBK answer after a UTF-8 byte-order mark, as a script file saved with
    # one prints it.
    "gbk_after_utf8_bom": _encoded("gbk", "application/json", UTF8_BOM),
    # A distributor's name with a character code page 936 lacks.
    "utf8_name_beyond_gbk": _encoded("utf-8", "application/json; charset=utf-8", app_name="星光✓记事本"),
}


SCENARIOS = {
    "several_versions": _several_versions,
    "no_versions": _no_versions,
    "refused": _refused,
    "fractional_code": _fractional_code,
    "malformed": _malformed,
    "no_data": _no_data,
    "empty_versions": _empty_versions,
    "empty_current_version": _empty_current_version,
    "wrong_types": _wrong_types,
    "agent_as_app_name": _agent_as_app_name,
    "slow_download": _slow_download,
    "stalled_download": _stalled_download,
    "paused_download": _paused_download,
    "signed_download": _signed_download,
    "big_signed_download": _big_signed_download,
    "big_download": _big_download,
    "next_port_download": _next_port_download,
    "logged_download": _logged_download,
    "wrong_checksum": _wrong_checksum,
    "wrong_size": _wrong_size,
    "malformed_checksum": _malformed_checksum,
    "unchecked": _unchecked,
    "text_size": _text_size,
    "fractional_size": _fractional_size,
    "space_in_download": _space_in_download,
    "tagged_download": _tagged_download,
    "dated_download": _dated_download,
}
SCENARIOS.update({"hostile_name_" + key: _hostile_name(name) for key, name in HOSTILE_NAMES.items()})
SCENARIOS.update(ENCODING_SCENARIOS)
for _kind, _rewrite in ADDRESS_FAULTS.items():
    SCENARIOS[_kind + "_icon"], SCENARIOS[_kind + "_download"] = _rewritten_address(_rewrite)
SCENARIOS["many_versions"] = _many_versions
SCENARIOS["control_characters"] = _control_characters


def _encode(answer):
    return json.dumps(answer, ensure_ascii=False).encode("gbk")


def app_info_body(params, host, secret_key, scenario=None, program=None):
    """The body and its Content-Type for a query's parameters (a dict of
    first values), or None for an unknown scenario; `program` as for
    sample_application."""
    if scenario is not None and scenario not in SCENARIOS:
        return None
    problem = _credentials_problem(params, secret_key)
    if problem is not None:
        return _encode(_failure(problem)), CONTENT_TYPE
    answer = {"code": 1, "content": "获取成功",
              "data": sample_application(host, int(params["agent_id"]), program)}
    if scenario is not None:
        answer = SCENARIOS[scenario](copy.deepcopy(answer))
    if isinstance(answer, Encoded):
        return answer.body(), answer.content_type
    return (answer if isinstance(answer, bytes) else _encode(answer)), CONTENT_TYPE
