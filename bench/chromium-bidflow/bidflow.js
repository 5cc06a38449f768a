#!/usr/bin/env node
// The practice site's bid flow driven in Debian's headless chromium over its DevTools
// protocol, the browser-based way to do what Gavelin's bid threads do: open the item page,
// fill the bid form, submit, sign in, confirm, load the item page again. N flows at once,
// each in a browser context of its own (own cookies: each signs in, as each bid thread does).
//
// Time per flow: from just before the context and its page are made to the end of the load
// of the item page after the confirmation. Memory of chromium's whole process tree (the
// browser and every process below it): the sum of the resident sets (statm, sampled every
// 20 ms) and of the proportional set sizes (smaps_rollup, every 100 ms), in a worker thread
// so that sampling does not hold up the flows. The sum of resident sets counts shared
// libraries once per process; the proportional sum counts them once.
//
//   node bidflow.js --port P [--bids N] [--rounds R] [--chromium /usr/bin/chromium]
//
// Prints one JSON line with the same fields as `bench_bidflow --flow-only`.
'use strict';

const fs = require('fs');
const { Worker, isMainThread, parentPort, workerData } = require('worker_threads');

if (!isMainThread) {
    runSampler(workerData.rootPid);
    return;
}

const USER = 'flow_chromium';
const PASSWORD = 'Fc-7-secret';
const FLOW_TIMEOUT_MS = 60000;

function parseArgs(argv) {
    const options = { port: 0, bids: 1, rounds: 5, chromium: '/usr/bin/chromium' };
    for (let i = 0; i < argv.length; ++i) {
        const value = argv[i + 1];
        switch (argv[i]) {
            case '--port': options.port = parseInt(value, 10); ++i; break;
            case '--bids': options.bids = Math.max(1, parseInt(value, 10)); ++i; break;
            case '--rounds': options.rounds = Math.max(1, parseInt(value, 10)); ++i; break;
            case '--chromium': options.chromium = value; ++i; break;
            default:
                fail(`unknown argument ${argv[i]}\nusage: node bidflow.js --port P [--bids N] ` +
                     '[--rounds R] [--chromium PATH]', 2);
        }
    }
    if (!(options.port > 0))
        fail('--port: the port of a running practice site is needed', 2);
    return options;
}

function fail(message, code) {
    process.stderr.write(`chromium-bidflow: ${message}\n`);
    process.exit(code);
}

function loadPuppeteer() {
    try {
        return require('puppeteer-core');
    } catch (e) {
        fail(`puppeteer-core is not installed: run "npm ci" in ${__dirname} ` +
             '(it downloads no browser)', 3);
    }
}

// --- memory sampling (worker thread) ---------------------------------------------------

function runSampler(rootPid) {
    const pageKb = 4; // statm counts pages of 4 KiB here
    let pids = [rootPid];
    const peak = { rssKb: 0, pssKb: 0, processes: 0, lastRssKb: 0 };
    const children = () => {
        const parent = new Map();
        for (const name of fs.readdirSync('/proc')) {
            if (!/^\d+$/.test(name))
                continue;
            try {
                const stat = fs.readFileSync(`/proc/${name}/stat`, 'utf8');
                // pid (comm) state ppid ...: comm may hold blanks, so read after its ')'.
                const ppid = parseInt(stat.slice(stat.lastIndexOf(')') + 2).split(' ')[1], 10);
                parent.set(parseInt(name, 10), ppid);
            } catch (e) { /* gone meanwhile */ }
        }
        const tree = new Set([rootPid]);
        let grew = true;
        while (grew) {
            grew = false;
            for (const [pid, ppid] of parent) {
                if (!tree.has(pid) && tree.has(ppid)) {
                    tree.add(pid);
                    grew = true;
                }
            }
        }
        return [...tree];
    };
    const readKb = (file, pattern) => {
        try {
            const m = fs.readFileSync(file, 'utf8').match(pattern);
            return m ? parseInt(m[1], 10) : 0;
        } catch (e) {
            return 0;
        }
    };
    let tick = 0;
    const sample = () => {
        if (tick++ % 5 === 0) {
            pids = children();
            let pss = 0;
            for (const pid of pids)
                pss += readKb(`/proc/${pid}/smaps_rollup`, /\nPss:\s+(\d+)/);
            peak.pssKb = Math.max(peak.pssKb, pss);
            peak.processes = Math.max(peak.processes, pids.length);
        }
        let rss = 0;
        for (const pid of pids)
            rss += pageKb * readKb(`/proc/${pid}/statm`, /^\d+ (\d+)/);
        peak.lastRssKb = rss;
        peak.rssKb = Math.max(peak.rssKb, rss);
    };
    sample();
    const timer = setInterval(sample, 20);
    parentPort.on('message', (message) => {
        sample();
        parentPort.postMessage({ ...peak });
        if (message === 'stop')
            clearInterval(timer);
    });
}

function askSampler(sampler, message) {
    return new Promise((resolve) => {
        sampler.once('message', resolve);
        sampler.postMessage(message);
    });
}

// --- the site's control interface ------------------------------------------------------

async function control(base, method, route, body) {
    const response = await fetch(`${base}/_control${route}`, {
        method,
        headers: { 'Content-Type': 'application/json' },
        body: body === undefined ? (method === 'GET' ? undefined : '') : JSON.stringify(body),
    });
    const text = await response.text();
    if (!response.ok)
        throw new Error(`control ${method} ${route}: ${response.status} ${text}`);
    return text ? JSON.parse(text) : null;
}

// --- one flow ---------------------------------------------------------------------------

async function submitAndWait(page, formName) {
    await Promise.all([
        page.waitForNavigation({ waitUntil: 'load', timeout: FLOW_TIMEOUT_MS }),
        page.click(`form[name="${formName}"] input[type="submit"]`),
    ]);
}

async function setField(page, formName, field, value) {
    await page.$eval(`form[name="${formName}"] [name="${field}"]`, (el, v) => { el.value = v; },
                     value);
}

async function flow(browser, base, item) {
    const itemUrl = `${base}/ws/eBayISAPI.dll?ViewItem&item=${item}`;
    const started = performance.now();
    const context = await browser.createBrowserContext();
    try {
        const page = await context.newPage();
        await page.goto(itemUrl, { waitUntil: 'load', timeout: FLOW_TIMEOUT_MS });
        await setField(page, 'bidform', 'maxbid', '20.00');
        await submitAndWait(page, 'bidform');
        // Without a session the site asks for the sign-in first.
        if (await page.$('form[name="SignInForm"]')) {
            await setField(page, 'SignInForm', 'userid', USER);
            await setField(page, 'SignInForm', 'pass', PASSWORD);
            await submitAndWait(page, 'SignInForm');
        }
        if (!(await page.$('form[name="confirmbid"]')))
            throw new Error(`item ${item}: no confirmation form after the sign-in`);
        await submitAndWait(page, 'confirmbid');
        const confirmed = performance.now();
        await page.goto(itemUrl, { waitUntil: 'load', timeout: FLOW_TIMEOUT_MS });
        const done = performance.now();
        return { started, confirmed, done, context };
    } catch (e) {
        await context.close().catch(() => {});
        throw e;
    }
}

// --- figures ----------------------------------------------------------------------------

function stats(values) {
    if (values.length === 0)
        return { mean: 0, median: 0, max: 0 };
    const sorted = [...values].sort((a, b) => a - b);
    return {
        mean: sorted.reduce((a, b) => a + b, 0) / sorted.length,
        median: sorted[Math.floor(sorted.length / 2)],
        max: sorted[sorted.length - 1],
    };
}

async function main() {
    const options = parseArgs(process.argv.slice(2));
    if (!fs.existsSync(options.chromium))
        fail(`${options.chromium} not found: install Debian's chromium (apt-get install ` +
             'chromium); it is not part of tools/install-deps', 3);
    const puppeteer = loadPuppeteer();
    const base = `http://127.0.0.1:${options.port}`;
    await control(base, 'POST', '/accounts', { userid: USER, password: PASSWORD });

    const args = ['--disable-gpu', '--no-first-run', '--no-default-browser-check'];
    if (process.getuid && process.getuid() === 0)
        args.push('--no-sandbox'); // chromium refuses to run its sandbox as root
    const browser = await puppeteer.launch({
        executablePath: options.chromium,
        headless: true,
        args,
    });
    const sampler = new Worker(__filename, { workerData: { rootPid: browser.process().pid } });
    await new Promise((resolve) => setTimeout(resolve, 500)); // the browser settles
    const before = await askSampler(sampler, 'sample');

    const flowMs = [], confirmMs = [], batchMs = [];
    let failures = 0;
    let peak;
    try {
        for (let round = 0; round < options.rounds; ++round) {
            const items = [];
            for (let i = 0; i < options.bids; ++i) {
                const auction = await control(base, 'POST', '/auctions', {
                    site: 'us', title: 'Flow lamp', startPrice: 5, endsIn: 3600,
                });
                items.push(auction.item);
            }
            const results = await Promise.allSettled(items.map((item) => flow(browser, base, item)));
            let first = Infinity, last = 0;
            for (let i = 0; i < items.length; ++i) {
                const r = results[i];
                const auction = await control(base, 'GET', `/auctions/${items[i]}`);
                if (r.status !== 'fulfilled' || auction.highBidder !== USER) {
                    ++failures;
                    if (r.status !== 'fulfilled')
                        process.stderr.write(`chromium-bidflow: ${r.reason}\n`);
                    continue;
                }
                flowMs.push(r.value.done - r.value.started);
                confirmMs.push(r.value.confirmed - r.value.started);
                first = Math.min(first, r.value.started);
                last = Math.max(last, r.value.done);
            }
            if (last > 0)
                batchMs.push(last - first);
            for (const r of results) {
                if (r.status === 'fulfilled')
                    await r.value.context.close();
            }
            for (const item of items)
                await control(base, 'DELETE', `/auctions/${item}`);
        }
    } finally {
        peak = await askSampler(sampler, 'stop');
        await sampler.terminate();
        await browser.close();
    }
    const result = {
        side: 'chromium',
        bids: options.bids,
        rounds: options.rounds,
        flows: flowMs.length,
        failures,
        flow_ms: stats(flowMs),
        confirm_ms: stats(confirmMs),
        batch_ms: stats(batchMs),
        rss_before_kb: before.lastRssKb,
        peak_rss_kb: peak.rssKb,
        peak_pss_kb: peak.pssKb,
        processes: peak.processes,
    };
    process.stdout.write(JSON.stringify(result) + '\n');
    process.exitCode = failures === 0 ? 0 : 2;
}

main().catch((e) => fail(e.stack || String(e), 1));
