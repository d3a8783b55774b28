// The crypto of every API call: the RSA pack of a request's parameters, its HMAC-MD5
// signature, and the AES decryption of a reply of about 20 KB.

#include "app/Core/Codec/NrvAES.h"
#include "app/Core/Codec/NrvGTMBase64.h"
#include "platform/crypto/AESCryptor.h"
#include "platform/crypto/Digest.h"
#include "platform/crypto/RSAKey.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

// About 300 bytes of parameters: more than one RSA piece, as a search or report call has.
std::string parametersJSON()
{
    std::string json
        = R"({"id":"123456","keyword":"测试影片名称","page":"1","pagesize":"20","source":"default",)"
          R"("episode_id":"987654","play_time":"1234","timestamp":"1700000000","note":")";
    while (json.size() < 298)
        json += 'x';
    return json + R"("})";
}

std::string replyOfAbout20KB()
{
    std::string items;
    for (int i = 0; items.size() < 20000; ++i) {
        if (i > 0)
            items += ',';
        items += R"({"id":)" + std::to_string(i) + R"(,"title":"影片 )" + std::to_string(i)
            + R"(","cover":"https://img.example.test/c/)" + std::to_string(i) + R"(.jpg","score":"8.5"})";
    }
    return R"({"errorCode":0,"msg":"ok","data":[)" + items + "]}";
}

void BM_RSAPackOf300ByteJSON(benchmark::State& state)
{
    static const RSAPublicKey key = RSAPrivateKey::generate(2048)->publicKey();
    const Data clear = dataFromString(parametersJSON());
    for (auto _ : state) {
        auto pack = NrvGTMBase64::stringByEncodingData(*key.encryptPKCS1v15(clear));
        benchmark::DoNotOptimize(pack);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * clear.size()));
}
BENCHMARK(BM_RSAPackOf300ByteJSON);

void BM_HMACMD5SignatureOfPack(benchmark::State& state)
{
    const Data key = dataFromString("4f7d2a9c81e6b03d5a7c9e2f1b8d6043");
    // A two-block pack is 684 characters of base64.
    const Data pack = dataFromString(std::string(684, 'Q'));
    for (auto _ : state) {
        auto signature = Digest::hex(HMAC::md5(key, pack));
        benchmark::DoNotOptimize(signature);
    }
}
BENCHMARK(BM_HMACMD5SignatureOfPack);

void BM_NrvAESDecryptOf20KBReply(benchmark::State& state)
{
    const std::string clear = replyOfAbout20KB();
    auto cipher = AESCryptor::crypt(AESCryptor::Operation::encrypt, AESCryptor::modeCBC, true,
        dataFromString(NrvAES::replyKey), dataFromString(NrvAES::replyIV), dataFromString(clear));
    const std::string text = *NrvGTMBase64::stringByWebSafeEncodingData(cipher.data, false);
    if (NrvAES::NrvAESDecrypt(text) != clear) {
        state.SkipWithError("reply did not decrypt");
        return;
    }
    for (auto _ : state) {
        auto json = NrvAES::NrvAESDecrypt(text);
        benchmark::DoNotOptimize(json);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_NrvAESDecryptOf20KBReply);

}
